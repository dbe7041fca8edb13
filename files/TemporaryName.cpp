#include "files/TemporaryName.h"

namespace
{
// Hidden on POSIX by its leading dot; a leading tilde marks a temporary file on Windows.
#ifdef _WIN32
constexpr wchar_t kForm[] = L"~tvl00000000.tmp";
#else
constexpr char kForm[] = ".~tvl00000000.tmp";
#endif
// Where the eight digits start: before ".tmp".
constexpr std::size_t kDigits = sizeof kForm / sizeof kForm[0] - 1 - 12;
constexpr char kHex[] = "0123456789abcdef";
} // namespace

FileError NewTemporaryName(SystemPath& name)
{
    unsigned char random[4];
    if (const FileError error = RandomBytes(random, sizeof random); error != FileError::None)
    {
        return error;
    }
    name = kForm;
    for (std::size_t i = 0; i < sizeof random; ++i)
    {
        name[kDigits + 2 * i] = static_cast<SystemPath::value_type>(kHex[random[i] >> 4]);
        name[kDigits + 2 * i + 1] = static_cast<SystemPath::value_type>(kHex[random[i] & 0xF]);
    }
    return FileError::None;
}
