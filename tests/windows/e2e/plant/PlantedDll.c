#include <windows.h>

/* Planted beside a program under a system DLL's name: records that it was loaded, in a file beside
   itself named as it is with ".loaded" added, and does nothing else. */
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    WCHAR name[MAX_PATH + 8];
    DWORD length;
    HANDLE file;
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH)
    {
        return TRUE;
    }
    length = GetModuleFileNameW(instance, name, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
    {
        lstrcpyW(name + length, L".loaded");
        file = CreateFileW(name, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE)
        {
            CloseHandle(file);
        }
    }
    return TRUE;
}
