#include "cli/QuoteControls.h"

#include <algorithm>

namespace
{
bool IsControl(char ch)
{
    const auto byte = static_cast<unsigned char>(ch);
    return byte < 0x20 || byte == 0x7F;
}
} // namespace

std::string QuoteControls(std::string_view text)
{
    if (std::ranges::none_of(text, IsControl))
    {
        return std::string(text);
    }
    constexpr char kHex[] = "0123456789abcdef";
    std::string quoted;
    quoted.reserve(text.size() + 8);
    for (const char ch : text)
    {
        switch (ch)
        {
        case '\x1b':
            quoted.append("\\e");
            break;
        case '\n':
            quoted.append("\\n");
            break;
        case '\r':
            quoted.append("\\r");
            break;
        case '\t':
            quoted.append("\\t");
            break;
        case '\\':
            quoted.append("\\\\");
            break;
        default:
            if (IsControl(ch))
            {
                const auto byte = static_cast<unsigned char>(ch);
                quoted.append("\\x");
                quoted.push_back(kHex[byte >> 4]);
                quoted.push_back(kHex[byte & 0xF]);
            }
            else
            {
                quoted.push_back(ch);
            }
        }
    }
    return quoted;
}
