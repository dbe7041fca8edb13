#include "address/NormalizeAddress.h"

#include "address/AddressScan.h"

#include <string>

namespace
{
constexpr std::uint32_t kMaxOctet = 255;

void AppendDecimal(std::string& out, std::uint32_t value)
{
    char digits[10];
    int count = 0;
    do
    {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0)
    {
        out += digits[--count];
    }
}
} // namespace

bool NormalizeAddress(CString& text)
{
    const AddressScan scan = ScanAddress(text.View());
    if (scan.count < 4)
    {
        return false;
    }
    // Whatever follows a trailing white-space character is not looked at.
    if (scan.count == 5 && !IsAsciiSpace(scan.trailing))
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
