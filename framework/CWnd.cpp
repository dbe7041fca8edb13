#include "framework/CWnd.h"

#include <string>

CString CWnd::GetWindowText() const
{
    const int nLength = ::GetWindowTextLengthA(m_hWnd);
    if (nLength <= 0)
    {
        return CString();
    }
    std::string text(static_cast<std::size_t>(nLength) + 1, '\0');
    const int nCopied = ::GetWindowTextA(m_hWnd, text.data(), nLength + 1);
    text.resize(static_cast<std::size_t>(nCopied > 0 ? nCopied : 0));
    return CString(std::move(text));
}

void CWnd::SetMenu(HMENU hMenu) const
{
    RECT rcBefore{};
    ::GetClientRect(m_hWnd, &rcBefore);
    if (!::SetMenu(m_hWnd, hMenu))
    {
        return;
    }
    RECT rcAfter{};
    ::GetClientRect(m_hWnd, &rcAfter);
    const int nGrowth = rcBefore.bottom - rcAfter.bottom;
    if (nGrowth > 0)
    {
        RECT rcWindow{};
        ::GetWindowRect(m_hWnd, &rcWindow);
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top + nGrowth,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
