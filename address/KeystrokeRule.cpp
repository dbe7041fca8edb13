#include "address/KeystrokeRule.h"

#include "address/AddressScan.h"

std::optional<int> FindRefusedKeystroke(const CString& text, std::uint32_t selection)
{
    const int n = text.GetLength();
    if (n == 0)
    {
        return std::nullopt;
    }
    // The edit control reports positions in 16 bits; the one before the caret is read back as a
    // signed 16-bit number, so a caret at 0 (or at 32769 and above) gives a negative position.
    const auto start = static_cast<std::uint16_t>(selection & 0xFFFFU);
    const auto p = static_cast<int>(static_cast<std::int16_t>(static_cast<std::uint16_t>(start - 1U)));
    if (p < 0 || p >= n)
    {
        return std::nullopt;
    }
    // Only ASCII digits and the period pass; bytes of 0x80 and above are neither.
    const char ch = text.GetAt(p);
    if (ch == '.' || IsAsciiDigit(ch))
    {
        return std::nullopt;
    }
    return p;
}
