#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The result of scanning a text with the pattern "%3u.%3u.%3u.%3u%c" by the runtime's scanf rules,
// done by hand so that it does not depend on one C library's reading of corner cases.
struct AddressScan
{
    // Items converted: 0 to 5. An input that ends before the first number also gives 0 (scanf
    // would report end of input there, which the address rule treats the same way).
    int count = 0;
    std::array<std::uint32_t, 4> numbers{};
    char trailing = '\0';
};

// Scans text up to its first NUL byte, as a C string is read.
AddressScan ScanAddress(std::string_view text);

// Blank, tab, line feed, vertical tab, form feed, carriage return: the C locale's white space.
constexpr bool IsAsciiSpace(char ch)
{
    return ch == ' ' || (ch >= '\t' && ch <= '\r');
}

constexpr bool IsAsciiDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}
