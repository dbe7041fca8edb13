#include <windows.h>

#include "files/win32/FillBuffer.h"
#include "files/win32/FullPathOf.h"

std::wstring FullPathOf(const std::wstring& name)
{
    const std::wstring full = FillBuffer([&](wchar_t* buffer, DWORD size)
                                         { return ::GetFullPathNameW(name.c_str(), size, buffer, nullptr); });
    if (full.empty() || full.rfind(L"\\\\?\\", 0) == 0)
    {
        return full;
    }
    if (full.rfind(L"\\\\", 0) == 0)
    {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}
