#include <windows.h>

#include <cstdlib>

#include "framework/CWinApp.h"

// Linked into the executable as an object of its own: the C runtime looks for WinMain only after
// the program's libraries have been searched.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}

// A GUI program has no console to print an uncaught exception's name on. The C++ runtime's own
// handler would do just that, and it drags the demangler and a printf into the executable (about
// a third of its size); ending the process is what is left of it once nothing can be printed.
namespace __gnu_cxx
{
void __verbose_terminate_handler()
{
    std::abort();
}
} // namespace __gnu_cxx
