#include "framework/CString.h"

#include <algorithm>

namespace
{
std::size_t Clamp(int n, std::size_t limit)
{
    return n <= 0 ? 0 : std::min(static_cast<std::size_t>(n), limit);
}
} // namespace

CString CString::Left(int nCount) const
{
    return CString(m_str.substr(0, Clamp(nCount, m_str.size())));
}

CString CString::Right(int nCount) const
{
    const std::size_t count = Clamp(nCount, m_str.size());
    return CString(m_str.substr(m_str.size() - count));
}
