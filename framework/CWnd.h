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
    BOOL SetMenu(HMENU hMenu) const { return ::SetMenu(m_hWnd, hMenu); }

protected:
    HWND m_hWnd = nullptr;
};
