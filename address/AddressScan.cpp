#include "address/AddressScan.h"

#include <cstddef>
#include <optional>

namespace
{
// Characters one number may take after the skipped white space, sign included.
constexpr int kFieldWidth = 3;

class CScanner
{
public:
    explicit CScanner(std::string_view text) : m_text(text.substr(0, text.find('\0'))) {}

    bool AtEnd() const { return m_nPos >= m_text.size(); }
    char Peek() const { return m_text[m_nPos]; }
    void Advance() { ++m_nPos; }

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
        int nTaken = 0;
        bool bNegative = false;
        if (!AtEnd() && (Peek() == '+' || Peek() == '-'))
        {
            bNegative = Peek() == '-';
            Advance();
            ++nTaken;
        }
        std::uint32_t nValue = 0;
        int nDigits = 0;
        while (nTaken < kFieldWidth && !AtEnd() && IsAsciiDigit(Peek()))
        {
            nValue = nValue * 10 + static_cast<std::uint32_t>(Peek() - '0');
            Advance();
            ++nTaken;
            ++nDigits;
        }
        if (nDigits == 0)
        {
            return std::nullopt;
        }
        return bNegative ? 0U - nValue : nValue;
    }

private:
    std::string_view m_text;
    std::size_t m_nPos = 0;
};
} // namespace

AddressScan ScanAddress(std::string_view text)
{
    AddressScan scan;
    CScanner scanner(text);
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
        const std::optional<std::uint32_t> nNumber = scanner.ReadNumber();
        if (!nNumber)
        {
            return scan;
        }
        scan.numbers[i] = *nNumber;
        ++scan.nCount;
    }
    if (!scanner.AtEnd())
    {
        scan.chTrailing = scanner.Peek();
        ++scan.nCount;
    }
    return scan;
}
