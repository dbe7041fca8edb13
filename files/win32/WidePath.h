#pragma once

#include <windows.h>

#include "files/FileError.h"
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

// The error a Win32 error code stands for.
FileError FileErrorFromWin32(DWORD error);

// Where the name of a file open as file ends: its full path from the system (where a symbolic link
// leads), in the \\?\ form that has no length limit. Where the system cannot tell, the full path of
// the name it was opened by. Empty only when neither is known.
std::wstring FinalPathOf(HANDLE file, const std::wstring& openedAs);

// The full path of name in the \\?\ form.
std::wstring FullPathOf(const std::wstring& name);
