#include "framework/DllSearchPath.h"

#include <windows.h>

void LoadDllsFromSystemFolderOnly() noexcept
{
    // Looked up, not imported: Windows 7 without update KB2533623 lacks it, and a missing import
    // would keep the program from starting at all.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    const FARPROC proc = kernel32 != nullptr ? ::GetProcAddress(kernel32, "SetDefaultDllDirectories") : nullptr;
    if (proc != nullptr)
    {
        const auto setDefaultDllDirectories =
            reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(proc));
        if (setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE)
        {
            return;
        }
    }
    // Without it, at least the working folder leaves the search.
    ::SetDllDirectoryW(L"");
}
