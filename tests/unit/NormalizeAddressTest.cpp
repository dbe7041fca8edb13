#include "address/AddressScan.h"
#include "address/NormalizeAddress.h"
#include "tests/support/LibraryScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>

namespace
{

std::string Printable(const std::string& bytes)
{
    std::string out;
    for (const char ch : bytes)
    {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x20 && byte < 0x7F)
        {
            out += ch;
        }
        else
        {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            out += hex;
        }
    }
    return out;
}

struct NormalizeCase
{
    std::string input;
    bool accepted;
    const char* expected; // the canonical text when accepted
};

TEST(NormalizeAddressTest, AcceptsAndRewritesOrRefusesUnchanged)
{
    using namespace std::string_literals;
    const NormalizeCase cases[] = {
        {"192.168.001.010", true, "192.168.1.10"},
        {"010.000.000.001", true, "10.0.0.1"},
        {"10.1.1.1", true, "10.1.1.1"},
        {"0.0.0.0", true, "0.0.0.0"},
        {"255.255.255.255", true, "255.255.255.255"},
        {"000.00.0.255", true, "0.0.0.255"},
        // Trailing white space, of each kind, and anything after it.
        {"10.1.1.1 ", true, "10.1.1.1"},
        {"10.1.1.1 and more", true, "10.1.1.1"},
        {"10.1.1.1\v", true, "10.1.1.1"},
        {"10.1.1.1\rx", true, "10.1.1.1"},
        {"10.1.1.1 .", true, "10.1.1.1"},
        // Anything else right after the fourth number.
        {"10.1.1.1x", false, nullptr},
        {"10.1.1.1.", false, nullptr},
        {"10.1.1.1\xa0", false, nullptr},
        {"10.1.1.1\x85", false, nullptr},
        // Too few numbers.
        {"10.1.1", false, nullptr},
        {"10.1.1.", false, nullptr},
        {"", false, nullptr},
        {"   ", false, nullptr},
        {"...", false, nullptr},
        // Out of range, or more than three digits.
        {"256.1.1.1", false, nullptr},
        {"10.1.1.300", false, nullptr},
        {"10.999.1.1", false, nullptr},
        {"1000.1.1.1", false, nullptr},
        {"0010.1.1.1", false, nullptr},
        // White space before a number is skipped; before a period it is not.
        {" 10. 1. 1. 1", true, "10.1.1.1"},
        {"\t\n\v\f\r 10.1.1.1", true, "10.1.1.1"},
        {"10 .1.1.1", false, nullptr},
        {"10.1.1 .1", false, nullptr},
        {"\xa0"
         "10.1.1.1",
         false, nullptr},
        // Signs take one of the three characters; negatives wrap, minus zero is zero.
        {"+10.1.1.1", true, "10.1.1.1"},
        {"-10.1.1.1", false, nullptr},
        {"10.1.1.-1", false, nullptr},
        {"+255.1.1.1", false, nullptr},
        {"+25.+5.+0.+1", true, "25.5.0.1"},
        {"-0.1.1.1", true, "0.1.1.1"},
        {"1.2.3.-00", true, "1.2.3.0"},
        {" +7. -0.1.1", true, "7.0.1.1"},
        {"-.1.1.1", false, nullptr},
        {"- 1.1.1.1", false, nullptr},
        {"+-1.1.1.1", false, nullptr},
        {"1.2.3.+", false, nullptr},
        // The text is read as a C string: a NUL ends it.
        {"1.2.3.4\0x"s, true, "1.2.3.4"},
        {"1.2\0.3.4"s, false, nullptr},
        {"\0"
         "1.2.3.4"s,
         false, nullptr},
    };
    for (const NormalizeCase& c : cases)
    {
        CString text{std::string(c.input)};
        const bool accepted = NormalizeAddress(text);
        EXPECT_EQ(accepted, c.accepted) << Printable(c.input);
        if (c.accepted)
        {
            EXPECT_EQ(text.View(), c.expected) << Printable(c.input);
        }
        else
        {
            EXPECT_EQ(text.View(), c.input) << "refused text must stay as it was: " << Printable(c.input);
        }
    }
}

TEST(NormalizeAddressTest, ScanWrapsNegativesAndCountsItems)
{
    struct Case
    {
        const char* input;
        int count;
        std::array<std::uint32_t, 4> numbers;
        char trailing;
    };
    const Case cases[] = {
        {"-1.-99.-0.+7", 4, {4294967295U, 4294967197U, 0, 7}, '\0'},
        {"-999.1.1.1", 1, {4294967197U, 0, 0, 0}, '\0'},
        {"999.0.0.0x", 5, {999, 0, 0, 0}, 'x'},
        {"1.2.3.4 ", 5, {1, 2, 3, 4}, ' '},
        {"1.2.3.2555", 5, {1, 2, 3, 255}, '5'},
        {"1.2.", 2, {1, 2, 0, 0}, '\0'},
        {"", 0, {}, '\0'},
        {"x", 0, {}, '\0'},
    };
    for (const Case& c : cases)
    {
        const AddressScan scan = ScanAddress(c.input);
        EXPECT_EQ(scan.count, c.count) << c.input;
        for (int i = 0; i < c.count && i < 4; ++i)
        {
            EXPECT_EQ(scan.numbers[static_cast<std::size_t>(i)], c.numbers[static_cast<std::size_t>(i)]) << c.input;
        }
        if (c.count == 5)
        {
            EXPECT_EQ(scan.trailing, c.trailing) << c.input;
        }
    }
}

// Compares one input with the library; returns whether it was accepted.
bool ExpectSameAsLibrary(const std::string& input)
{
    const LibraryScan expected = ScanWithLibrary(input);
    const AddressScan scan = ScanAddress(input);
    EXPECT_EQ(scan.count, expected.count) << Printable(input);
    for (int i = 0; i < std::min(expected.count, 4); ++i)
    {
        EXPECT_EQ(scan.numbers[static_cast<std::size_t>(i)], expected.numbers[i]) << Printable(input);
    }
    if (expected.count == 5)
    {
        EXPECT_EQ(scan.trailing, expected.trailing) << Printable(input);
    }

    std::string canonical;
    const bool libraryAccepts = NormalizeWithLibrary(input, canonical);
    CString text(input.c_str());
    EXPECT_EQ(NormalizeAddress(text), libraryAccepts) << Printable(input);
    EXPECT_EQ(text.View(), libraryAccepts ? canonical : input) << Printable(input);
    return libraryAccepts;
}

constexpr int kGeneratedInputs = 200000;

TEST(NormalizeAddressTest, MatchesLibraryScanOnRandomBytes)
{
    // Digits weighted up so that numbers and periods meet often enough to matter.
    const std::string alphabet = "01234567890123456789....  \t\n\v\f\r+-xZ:\x80\xa0\xff";
    std::mt19937 rng(20240601);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 24);
    int accepted = 0;
    for (int i = 0; i < kGeneratedInputs && !HasFailure(); ++i)
    {
        std::string input;
        for (int n = length(rng); n > 0; --n)
        {
            input += alphabet[pick(rng)];
        }
        accepted += ExpectSameAsLibrary(input) ? 1 : 0;
    }
    EXPECT_GT(accepted, 0) << "the generator should reach some acceptable addresses";
}

TEST(NormalizeAddressTest, MatchesLibraryScanOnAddressShapedInputs)
{
    // Four number-like fields with random blanks, signs, digit counts and separators, then a tail:
    // most inputs land close to the boundary between accepted and refused.
    const std::string spaces = " \t\n\v\f\r";
    const std::string others = "+-x.\x80\xff 0";
    std::mt19937 rng(977);
    auto roll = [&rng](unsigned n) -> std::size_t { return rng() % n; };
    int accepted = 0;
    for (int i = 0; i < kGeneratedInputs && !HasFailure(); ++i)
    {
        std::string input;
        for (int field = 0; field < 4; ++field)
        {
            if (field > 0)
            {
                input += roll(10) < 8 ? '.' : others[roll(static_cast<unsigned>(others.size()))];
            }
            for (std::size_t n = roll(4) == 0 ? roll(3) : 0; n > 0; --n)
            {
                input += spaces[roll(6)];
            }
            const std::size_t sign = roll(6);
            input += sign == 0 ? "+" : sign == 1 ? "-" : "";
            for (std::size_t n = roll(5); n > 0; --n)
            {
                input += static_cast<char>('0' + (roll(3) == 0 ? roll(3) : roll(10)));
            }
        }
        for (std::size_t n = roll(3); n > 0; --n)
        {
            input += roll(3) == 0 ? spaces[roll(6)] : others[roll(static_cast<unsigned>(others.size()))];
        }
        input.resize(std::min<std::size_t>(input.size(), 24));
        accepted += ExpectSameAsLibrary(input) ? 1 : 0;
    }
    EXPECT_GT(accepted, kGeneratedInputs / 200) << "the generator should reach many acceptable addresses";
}

} // namespace
