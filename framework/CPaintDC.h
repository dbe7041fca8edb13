#pragma once

#include <windows.h>

#include "framework/CWnd.h"

// Painting of one WM_PAINT: BeginPaint on construction, EndPaint on destruction.
class CPaintDC
{
public:
    explicit CPaintDC(const CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()), m_hDC(::BeginPaint(m_hWnd, &m_ps)) {}
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }

    HDC GetSafeHdc() const { return m_hDC; }
    void DrawIcon(int x, int y, HICON hIcon) const { ::DrawIcon(m_hDC, x, y, hIcon); }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
    HDC m_hDC;
};
