#include "address/NormalizeAddress.h"

#include "address/AddressScan.h"

#include <string>

namespace
{
constexpr std::uint32_t kMaxOctet = 255;

void AppendDecimal(std::string& out, std::uint32_t nValue)
{
    char digits[10];
    int nCount = 0;
    do
    {
        digits[nCount++] = static_cast<char>('0' + nValue % 10);
        nValue /= 10;
    } while (nValue != 0);
    while (nCount > 0)
    {
        out += digits[--nCount];
    }
}
} // namespace

bool NormalizeAddress(CString& text)
{
    const AddressScan scan = ScanAddress(text.View());
    if (scan.nCount < 4)
    {
        return false;
    }
    // Whatever follows a trailing white-space character is not looked at.
    if (scan.nCount == 5 && !IsAsciiSpace(scan.chTrailing))
    {
        return false;
    }
    std::string canonical;
    for (std::size_t i = 0; i < scan.numbers.size(); ++i)
    {
        if (scan.numbers[i] > kMaxOctet)
        {
            return false;
        }
        if (i > 0)
        {
            canonical += '.';
        }
        AppendDecimal(canonical, scan.numbers[i]);
    }
    text = CString(std::move(canonical));
    return true;
}
