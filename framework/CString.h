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
    CString(const char* pch, int nLength);
    explicit CString(char ch, int nRepeat = 1);
    explicit CString(std::string str) : m_str(std::move(str)) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    char GetAt(int nIndex) const { return m_str[static_cast<std::size_t>(nIndex)]; }
    char operator[](int nIndex) const { return GetAt(nIndex); }

    operator const char*() const { return m_str.c_str(); }
    const char* GetString() const { return m_str.c_str(); }
    const std::string& Str() const { return m_str; }
    std::string_view View() const { return m_str; }

    CString& operator=(const char* psz);
    CString& operator+=(const CString& str);
    CString& operator+=(const char* psz);
    CString& operator+=(char ch);

    // Index of the first occurrence at or after nStart, or -1.
    int Find(const char* pszSub, int nStart = 0) const;
    int Find(char ch, int nStart = 0) const;

    // Out-of-range counts are clamped, as the framework's string class does.
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString Mid(int nFirst, int nCount) const;

    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.m_str == (b != nullptr ? b : ""); }

private:
    std::string m_str;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);
