#include <windows.h>

#include <cstdlib>

#include "framework/CWinApp.h"
#include "framework/DllSearchPath.h"
#include "framework/RuntimeFailure.h"

// Linked into the executable as an object of its own: the C runtime looks for WinMain only after
// the program's libraries have been searched.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    LoadDllsFromSystemFolderOnly();
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}

// A GUI program has no console to tell a runtime failure on; ending the process is what is left.
void EndOnRuntimeFailure() noexcept
{
    std::abort();
}
