#include "address/AddressScan.h"

#include <cstddef>
#include <optional>

namespace
{
// Characters one number may take after the skipped white space, sign included.
constexpr int kFieldWidth = 3;

class Scanner
{
public:
    explicit Scanner(std::string_view text) : m_text(text.substr(0, text.find('\0'))) {}

    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return m_text[m_pos]; }
    void Advance() { ++m_pos; }

    void SkipSpace()
    {
        while (!AtEnd() && IsAsciiSpace(Peek()))
        {
            Advance();
        }
    }

    // One "%3u": an optional sign and decimal digits, at most kFieldWidth characters in all. A
    // negative number wraps to its unsigned 32-bit complement.
    std::optional<std::uint32_t> ReadNumber()
    {
        int taken = 0;
        bool negative = false;
        if (!AtEnd() && (Peek() == '+' || Peek() == '-'))
        {
            negative = Peek() == '-';
            Advance();
            ++taken;
        }
        std::uint32_t value = 0;
        int digits = 0;
        while (taken < kFieldWidth && !AtEnd() && IsAsciiDigit(Peek()))
        {
            value = value * 10 + static_cast<std::uint32_t>(Peek() - '0');
            Advance();
            ++taken;
            ++digits;
        }
        if (digits == 0)
        {
            return std::nullopt;
        }
        return negative ? 0U - value : value;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};
} // namespace

AddressScan ScanAddress(std::string_view text)
{
    AddressScan scan;
    Scanner scanner(text);
    for (std::size_t i = 0; i < scan.numbers.size(); ++i)
    {
        if (i > 0)
        {
            // A period in the pattern matches only a period, with no white space skipped before it.
            if (scanner.AtEnd() || scanner.Peek() != '.')
            {
                return scan;
            }
            scanner.Advance();
        }
        scanner.SkipSpace();
        const std::optional<std::uint32_t> number = scanner.ReadNumber();
        if (!number)
        {
            return scan;
        }
        scan.numbers[i] = *number;
        ++scan.count;
    }
    if (!scanner.AtEnd())
    {
        scan.trailing = scanner.Peek();
        ++scan.count;
    }
    return scan;
}
