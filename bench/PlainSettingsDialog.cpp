#include <windows.h>

#include "res/resource.h"
#include "tests/support/SampleConfig.h"

// Tavrel's own settings dialog, resources and manifest, shown by the plainest Win32 code: what
// OnInitDialog does (system-menu entry, menu bar, icon, four texts, focus, centring) without the
// framework, the loader or the keystroke screening. Tavrel's start-up beyond this one is the cost
// of its own code; this one beyond the empty minimal dialog is the cost of the dialog itself.
namespace
{
void CenterInWorkArea(HWND hwnd)
{
    RECT work{};
    RECT window{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(hwnd, &window);
    const int x = work.left + (work.right - work.left - (window.right - window.left)) / 2;
    const int y = work.top + (work.bottom - work.top - (window.bottom - window.top)) / 2;
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InitSettingsDialog(HWND hwnd)
{
    const HINSTANCE hInstance = GetModuleHandleA(nullptr);
    CenterInWorkArea(hwnd);
    char about[64] = {};
    if (const HMENU hSysMenu = GetSystemMenu(hwnd, FALSE);
        hSysMenu != nullptr && LoadStringA(hInstance, IDS_ABOUTBOX, about, sizeof about) > 0)
    {
        AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUTBOX, about);
    }
    SetMenu(hwnd, LoadMenuA(hInstance, MAKEINTRESOURCEA(IDR_HELPMENU)));
    const HANDLE hIcon = LoadImageA(hInstance, MAKEINTRESOURCEA(IDI_MAINFRAME), IMAGE_ICON, 32, 32, LR_SHARED);
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
    SetDlgItemTextA(hwnd, IDC_DEFAULT_ROUTER, kSampleDefaultRouter);
    SetDlgItemTextA(hwnd, IDC_CONTROL_UNIT_IP, kSampleControlUnit);
    SetDlgItemTextA(hwnd, IDC_SHELF_MNG_IP, kSampleShelfMng);
    SetDlgItemTextA(hwnd, IDC_SUBNET_MASK, kSampleSubnetMask);
    SetFocus(GetDlgItem(hwnd, IDC_CONTROL_UNIT_IP));
}

INT_PTR CALLBACK PlainDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM /*lParam*/)
{
    if (message == WM_INITDIALOG)
    {
        InitSettingsDialog(hwnd);
        return FALSE; // the focus has been placed
    }
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
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_SETTINGS), nullptr, PlainDialogProc, 0);
    return 0;
}
