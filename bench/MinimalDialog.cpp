#include <windows.h>

// The smallest program that shows a dialog: the start-up floor that Tavrel is compared with.
namespace
{
INT_PTR CALLBACK FloorDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM /*lParam*/)
{
    if (message == WM_INITDIALOG)
    {
        return TRUE;
    }
    // Escape and the close box arrive as IDCANCEL.
    if (message == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK))
    {
        EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/, int /*nShowCmd*/)
{
    DialogBoxParamA(hInstance, "FLOOR", nullptr, FloorDialogProc, 0);
    return 0;
}
