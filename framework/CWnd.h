#pragma once

#include <windows.h>

#include "framework/CString.h"

// A window the program talks to: its handle and nothing it owns. Copying one copies the handle.
class CWnd
{
public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}

    HWND GetSafeHwnd() const { return m_hWnd; }

    // The child control with this id; its handle is null when there is none.
    CWnd GetDlgItem(int nID) const { return CWnd(::GetDlgItem(m_hWnd, nID)); }
    void SetFocus() const { ::SetFocus(m_hWnd); }
    CString GetWindowText() const;
    void SetWindowText(const char* pszText) const { ::SetWindowTextA(m_hWnd, pszText); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    // Sets the menu bar and grows the window by its height, so the client area keeps its size.
    void SetMenu(HMENU hMenu) const;

    // Hands the message being handled on to the system's default processing once the handler
    // returns, as if no handler had taken it.
    void Default() { m_bDefault = true; }

protected:
    HWND m_hWnd = nullptr;
    bool m_bDefault = false;
};
