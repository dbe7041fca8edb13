#include "framework/CDialog.h"

#include <cstring>
#include <utility>

#include "framework/CDataExchange.h"
#include "framework/CWinApp.h"
#include "framework/FrameworkIds.h"

namespace
{
template <class T>
T ReadAt(const BYTE* pb, std::size_t nOffset)
{
    T value{};
    std::memcpy(&value, pb + nOffset, sizeof value);
    return value;
}

// True when the dialog template asks for no position of its own: it stands at 0,0 and the
// system is not told to centre it.
bool TemplateLeavesPlacement(UINT nIDTemplate)
{
    const HINSTANCE hInstance = AfxGetInstanceHandle();
    const HRSRC hResource = ::FindResourceA(hInstance, MAKEINTRESOURCEA(nIDTemplate), RT_DIALOG);
    const HGLOBAL hData = hResource != nullptr ? ::LoadResource(hInstance, hResource) : nullptr;
    const auto* pb = static_cast<const BYTE*>(hData != nullptr ? ::LockResource(hData) : nullptr);
    if (pb == nullptr || ::SizeofResource(hInstance, hResource) < 22)
    {
        return false;
    }
    // An extended template starts with version 1 and signature 0xFFFF.
    const bool bExtended = ReadAt<WORD>(pb, 0) == 1 && ReadAt<WORD>(pb, 2) == 0xFFFF;
    const auto style = ReadAt<DWORD>(pb, bExtended ? 12 : 0);
    const auto x = ReadAt<short>(pb, bExtended ? 18 : 10);
    const auto y = ReadAt<short>(pb, bExtended ? 20 : 12);
    return x == 0 && y == 0 && (style & DS_CENTER) == 0;
}
} // namespace

CDialog::CDialog(UINT nIDTemplate) : m_nIDTemplate(nIDTemplate) {}

INT_PTR CDialog::DoModal()
{
    return ::DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), AfxGetSafeOwner(), DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

void CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate != FALSE);
    DoDataExchange(&dx);
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
    {
        ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        reinterpret_cast<CDialog*>(lParam)->m_hWnd = hWnd;
    }
    auto* pDialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (pDialog == nullptr)
    {
        return FALSE;
    }
    if (message == WM_NCDESTROY)
    {
        ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        pDialog->m_hWnd = nullptr;
        return FALSE;
    }
    return pDialog->HandleMessage(message, wParam, lParam);
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
    {
        const BOOL bFocusFirst = OnInitDialog();
        CenterIfUnplaced();
        return bFocusFirst;
    }
    LRESULT lResult = 0;
    return RouteMessage(message, wParam, lParam, lResult) ? ReturnResult(message, lResult) : FALSE;
}

bool CDialog::RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    // A handler that calls Default() leaves the message to the dialog manager after all.
    const bool bOuterDefault = std::exchange(m_bDefault, false);
    const bool bHandled = OnWndMsg(message, wParam, lParam, lResult) && !m_bDefault;
    m_bDefault = bOuterDefault;
    if (bHandled)
    {
        return true;
    }

    CWinApp* pApp = AfxGetApp();
    switch (message)
    {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDOK)
        {
            OnOK();
            return true;
        }
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDCANCEL)
        {
            OnCancel();
            return true;
        }
        // Menu commands and accelerators the dialog does not take go on to the application.
        return lParam == 0 && pApp != nullptr && pApp->OnWndMsg(message, wParam, lParam, lResult);
    case WM_HELP:
        // F1: the application's Help command, unless the dialog takes that command itself.
        lResult = TRUE;
        if (!OnWndMsg(WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0, lResult) && pApp != nullptr)
        {
            pApp->OnWndMsg(WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0, lResult);
        }
        return true;
    default:
        return false;
    }
}

INT_PTR CDialog::ReturnResult(UINT message, LRESULT lResult) const
{
    // Of the messages a message map can take, only this one answers through the dialog procedure's
    // own result; the others answer through DWLP_MSGRESULT.
    if (message == WM_QUERYDRAGICON)
    {
        return lResult;
    }
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, lResult);
    return TRUE;
}

void CDialog::CenterIfUnplaced() const
{
    if (!TemplateLeavesPlacement(m_nIDTemplate))
    {
        return;
    }
    const HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromWindow(hOwner != nullptr ? hOwner : m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT rcArea = monitor.rcWork;

    RECT rcCenter = rcArea;
    if (hOwner != nullptr && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner))
    {
        ::GetWindowRect(hOwner, &rcCenter);
    }
    RECT rcDialog{};
    ::GetWindowRect(m_hWnd, &rcDialog);
    const int nWidth = rcDialog.right - rcDialog.left;
    const int nHeight = rcDialog.bottom - rcDialog.top;
    int x = (rcCenter.left + rcCenter.right - nWidth) / 2;
    int y = (rcCenter.top + rcCenter.bottom - nHeight) / 2;
    // Keep the whole dialog inside the work area, its top left corner first.
    if (x + nWidth > rcArea.right)
    {
        x = rcArea.right - nWidth;
    }
    if (y + nHeight > rcArea.bottom)
    {
        y = rcArea.bottom - nHeight;
    }
    x = x < rcArea.left ? rcArea.left : x;
    y = y < rcArea.top ? rcArea.top : y;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
