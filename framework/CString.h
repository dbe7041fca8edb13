#pragma once

#include <string>
#include <string_view>

// 8-bit string with byte semantics. Lengths and positions are byte counts held in int, as the
// dialog code and the edit controls count them. Construction from a C string stops at its first NUL.
class CString
{
public:
    CString() = default;
    CString(const char* psz) : m_str(psz != nullptr ? psz : "") {}
    explicit CString(std::string str) : m_str(std::move(str)) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    char GetAt(int nIndex) const { return m_str[static_cast<std::size_t>(nIndex)]; }

    operator const char*() const { return m_str.c_str(); }
    const char* GetString() const { return m_str.c_str(); }
    std::string_view View() const { return m_str; }

    // Out-of-range counts are clamped, as the framework's string class does.
    CString Left(int nCount) const;
    CString Right(int nCount) const;

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    // Spelled out: through the conversion to const char*, comparing with a literal would be ambiguous.
    friend bool operator==(const CString& a, const char* b) { return a.m_str == (b != nullptr ? b : ""); }

private:
    std::string m_str;
};
