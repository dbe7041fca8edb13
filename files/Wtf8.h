#pragma once

#include <string>
#include <string_view>

// File-system names on Windows are UTF-16 and need not be valid (a lone surrogate is a legal name);
// where such a name passes through 8-bit strings it is WTF-8: UTF-8 that also carries lone
// surrogates, so that every name converts back exactly.
std::string Utf16ToWtf8(std::u16string_view name);

// The inverse; a byte sequence that is not WTF-8 becomes U+FFFD for each bad byte.
std::u16string Wtf8ToUtf16(std::string_view name);
