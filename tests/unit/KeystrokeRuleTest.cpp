#include "address/KeystrokeRule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace
{

struct KeystrokeCase
{
    const char* name;
    std::string text;
    std::uint32_t selection;
    std::optional<int> refused;
};

// Selection start s in the low word, end e in the high word, as EM_GETSEL packs them.
constexpr std::uint32_t Sel(std::uint32_t s, std::uint32_t e)
{
    return (e << 16) | s;
}

std::string With(std::size_t length, std::size_t position, char ch)
{
    std::string text(length, '1');
    text[position] = ch;
    return text;
}

TEST(KeystrokeRuleTest, JudgesTheByteBeforeTheCaret)
{
    const KeystrokeCase cases[] = {
        {"empty text", "", Sel(1, 1), std::nullopt},
        {"caret at 0 sees nothing", "x10", Sel(0, 0), std::nullopt},
        {"caret past the end", "10a", Sel(4, 4), std::nullopt},
        {"caret at the end on a letter", "10.1a", Sel(5, 5), 4},
        {"digit", "10.1", Sel(4, 4), std::nullopt},
        {"period", "10.", Sel(3, 3), std::nullopt},
        {"letter in the middle", "10a.1", Sel(3, 3), 2},
        {"blank between 10 and .1", "10 .1", Sel(3, 3), 2},
        {"high byte", "1\x80", Sel(2, 2), 1},
        {"only the byte before the caret counts", "x1", Sel(2, 2), std::nullopt},
        {"selection end is ignored", "10a", Sel(3, 0), 2},
        {"selection end far away", "a10", Sel(1, 3), 0},
        {"high word all ones", "a10", 0xFFFF0001U, 0},
        {"high word all ones, caret 0", "a10", 0xFFFF0000U, std::nullopt},
        {"start 32768 on a short text", "abc", Sel(32768, 32768), std::nullopt},
        {"start 32769 reads negative", "abc", Sel(32769, 32769), std::nullopt},
        {"start 65535 reads negative", "abc", Sel(65535, 65535), std::nullopt},
        {"start 32768 on a long text", With(40000, 32767, 'x'), Sel(32768, 32768), 32767},
        {"start 32767 on a long text", With(40000, 32766, 'x'), Sel(32767, 32767), 32766},
        {"start 32769 on a long text refuses nothing", With(40000, 32768, 'x'), Sel(32769, 32769), std::nullopt},
        {"start 65535 on a long text refuses nothing", With(70000, 65534, 'x'), Sel(65535, 65535), std::nullopt},
        {"long text, a letter under a low start", With(70000, 999, 'x'), Sel(1000, 1000), 999},
    };
    for (const KeystrokeCase& c : cases)
    {
        const CString text{std::string(c.text)};
        EXPECT_EQ(FindRefusedKeystroke(text, c.selection), c.refused) << c.name;
    }
}

// Every byte value, caret after it: only the ten ASCII digits and the period pass (not the
// superscript digits of code page 1252, nor signs, blanks or the neighbours "/" and ":").
TEST(KeystrokeRuleTest, OnlyAsciiDigitsAndPeriodPass)
{
    for (int byte = 0; byte < 256; ++byte)
    {
        const CString text{std::string(1, static_cast<char>(byte))};
        const bool passes = byte == '.' || (byte >= '0' && byte <= '9');
        EXPECT_EQ(FindRefusedKeystroke(text, 1), passes ? std::nullopt : std::optional<int>(0)) << "byte " << byte;
    }
}

} // namespace
