#include <windows.h>

#include "framework/CWinApp.h"

// Linked into the executable as an object of its own: the C runtime looks for WinMain only after
// the program's libraries have been searched.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
