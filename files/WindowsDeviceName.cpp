#include "files/WindowsDeviceName.h"

#include <algorithm>
#include <array>

namespace
{
constexpr std::array<std::string_view, 6> kPlainNames = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
// COM and LPT take one digit, or the superscript 1, 2 or 3 (in UTF-8, as WTF-8 spells them).
constexpr std::array<std::string_view, 2> kNumberedNames = {"COM", "LPT"};
constexpr std::array<std::string_view, 3> kSuperscripts = {"\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b,
                              [](char x, char y)
                              {
                                  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
                                  return upper(x) == upper(y);
                              });
}

bool IsNumberedName(std::string_view base)
{
    if (base.size() < 4 || std::ranges::none_of(kNumberedNames, [&](std::string_view name)
                                                { return EqualsIgnoringCase(base.substr(0, 3), name); }))
    {
        return false;
    }
    const std::string_view number = base.substr(3);
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') ||
           std::ranges::find(kSuperscripts, number) != kSuperscripts.end();
}
} // namespace

bool IsWindowsDeviceName(std::string_view path)
{
    // The last name: after the last separator, or after a drive ("C:NUL").
    std::string_view name = path.substr(path.find_last_of("\\/") + 1);
    if (name.size() == path.size() && name.size() >= 2 && name[1] == ':')
    {
        name.remove_prefix(2);
    }
    // Windows reads the name up to its first period or colon, without the blanks that end it.
    std::string_view base = name.substr(0, name.find_first_of(".:"));
    while (!base.empty() && base.back() == ' ')
    {
        base.remove_suffix(1);
    }
    return std::ranges::any_of(kPlainNames, [&](std::string_view plain) { return EqualsIgnoringCase(base, plain); }) ||
           IsNumberedName(base);
}
