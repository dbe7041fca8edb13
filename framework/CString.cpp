#include "framework/CString.h"

#include <algorithm>
#include <cstring>

namespace
{
std::size_t Clamp(int n, std::size_t limit)
{
    return n <= 0 ? 0 : std::min(static_cast<std::size_t>(n), limit);
}
} // namespace

CString::CString(const char* pch, int nLength)
{
    if (pch != nullptr && nLength > 0)
    {
        m_str.assign(pch, static_cast<std::size_t>(nLength));
    }
}

CString::CString(char ch, int nRepeat)
{
    if (nRepeat > 0)
    {
        m_str.assign(static_cast<std::size_t>(nRepeat), ch);
    }
}

CString& CString::operator=(const char* psz)
{
    m_str.assign(psz != nullptr ? psz : "");
    return *this;
}

CString& CString::operator+=(const CString& str)
{
    m_str += str.m_str;
    return *this;
}

CString& CString::operator+=(const char* psz)
{
    if (psz != nullptr)
    {
        m_str += psz;
    }
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_str += ch;
    return *this;
}

int CString::Find(const char* pszSub, int nStart) const
{
    if (pszSub == nullptr || nStart < 0 || static_cast<std::size_t>(nStart) > m_str.size())
    {
        return -1;
    }
    const std::size_t pos = m_str.find(pszSub, static_cast<std::size_t>(nStart), std::strlen(pszSub));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || static_cast<std::size_t>(nStart) > m_str.size())
    {
        return -1;
    }
    const std::size_t pos = m_str.find(ch, static_cast<std::size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int nCount) const
{
    return CString(m_str.substr(0, Clamp(nCount, m_str.size())));
}

CString CString::Right(int nCount) const
{
    const std::size_t count = Clamp(nCount, m_str.size());
    return CString(m_str.substr(m_str.size() - count));
}

CString CString::Mid(int nFirst, int nCount) const
{
    const std::size_t first = Clamp(nFirst, m_str.size());
    return CString(m_str.substr(first, Clamp(nCount, m_str.size() - first)));
}

CString operator+(const CString& a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, const char* b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const char* a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, char b)
{
    CString result(a);
    result += b;
    return result;
}
