#include <windows.h>
#include <winternl.h>

#include "files/win32/FillBuffer.h"
#include "files/win32/FinalPathOf.h"

namespace
{
using NtQueryObjectFunction = NTSTATUS(NTAPI*)(HANDLE, OBJECT_INFORMATION_CLASS, PVOID, ULONG, PULONG);

// The kernel's name of the file (\??\C:\... or \Device\...), turned into the \\?\ form. Wine's
// GetFinalPathNameByHandleW fails for paths beyond about 267 characters; this does not.
std::wstring KernelNameOf(HANDLE file)
{
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const FARPROC proc = ntdll != nullptr ? ::GetProcAddress(ntdll, "NtQueryObject") : nullptr;
    if (proc == nullptr)
    {
        return {};
    }
    const auto query = reinterpret_cast<NtQueryObjectFunction>(reinterpret_cast<void (*)()>(proc));
    // A name is at most 32767 characters: one call with room for the longest.
    constexpr ULONG kSize = sizeof(UNICODE_STRING) + 65536;
    std::wstring storage(kSize / sizeof(wchar_t) + 1, L'\0');
    ULONG returned = 0;
    // ObjectNameInformation is class 1; winternl.h names only some of the classes.
    if (query(file, static_cast<OBJECT_INFORMATION_CLASS>(1), storage.data(), kSize, &returned) < 0)
    {
        return {};
    }
    const auto* name = reinterpret_cast<const UNICODE_STRING*>(storage.data());
    if (name->Buffer == nullptr || name->Length == 0)
    {
        return {};
    }
    const std::wstring kernel(name->Buffer, name->Length / sizeof(wchar_t));
    if (kernel.rfind(L"\\??\\", 0) == 0)
    {
        return L"\\\\?\\" + kernel.substr(4);
    }
    return L"\\\\?\\GLOBALROOT" + kernel;
}
} // namespace

std::wstring FinalPathOf(HANDLE file)
{
    const std::wstring path =
        FillBuffer([&](wchar_t* buffer, DWORD size)
                   { return ::GetFinalPathNameByHandleW(file, buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS); });
    if (!path.empty())
    {
        return path;
    }
    // The system's own reason is the one to tell, not the other way's.
    const DWORD error = ::GetLastError();
    const std::wstring kernel = KernelNameOf(file);
    ::SetLastError(error);
    return kernel;
}
