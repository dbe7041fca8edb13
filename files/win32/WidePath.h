#pragma once

#include "files/Wtf8.h"

#include <string>
#include <string_view>

// The system's own name for an 8-bit (WTF-8) path: the wide-character functions take any name,
// where the ANSI ones turn what the code page lacks into '?'.
inline std::wstring WidePath(std::string_view path)
{
    const std::u16string wide = Wtf8ToUtf16(path);
    return std::wstring(wide.begin(), wide.end());
}

inline std::string NarrowPath(std::wstring_view path)
{
    return Utf16ToWtf8(std::u16string(path.begin(), path.end()));
}
