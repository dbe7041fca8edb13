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
