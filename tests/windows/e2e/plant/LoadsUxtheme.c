#include <windows.h>

/* The control of the planted DLL: a program that does not restrict where DLLs are looked for loads
   uxtheme.dll by name, as the system's own DLLs do. Exits 0 when it loaded. */
int main(void)
{
    return LoadLibraryA("uxtheme.dll") != NULL ? 0 : 1;
}
