#include "framework/CString.h"

#include <gtest/gtest.h>

namespace
{

TEST(CStringTest, ConstructionStopsAtNulUnlessLengthGiven)
{
    const char bytes[] = {'a', '\0', 'b'};
    EXPECT_EQ(CString(bytes).GetLength(), 1);
    EXPECT_EQ(CString(bytes, 3).GetLength(), 3);
    EXPECT_EQ(CString(static_cast<const char*>(nullptr)).GetLength(), 0);
    EXPECT_EQ(CString('x'), "x");
    EXPECT_EQ(CString('-', 3), "---");
    EXPECT_EQ(CString('-', 0), "");
}

TEST(CStringTest, FindReportsFirstOccurrenceOrMinusOne)
{
    const CString s("KEY=a=b");
    EXPECT_EQ(s.Find("="), 3);
    EXPECT_EQ(s.Find('='), 3);
    EXPECT_EQ(s.Find("=", 4), 5);
    EXPECT_EQ(s.Find("x"), -1);
    EXPECT_EQ(s.Find("=", 99), -1);
    EXPECT_EQ(s.Find("=", -1), -1);
    EXPECT_EQ(CString().Find(""), 0);
}

TEST(CStringTest, PartsClampOutOfRangeCounts)
{
    const CString s("10.1.1.2");
    struct Case
    {
        CString actual;
        const char* expected;
    };
    const Case cases[] = {
        {s.Left(2), "10"},
        {s.Left(0), ""},
        {s.Left(-3), ""},
        {s.Left(100), "10.1.1.2"},
        {s.Right(3), "1.2"},
        {s.Right(0), ""},
        {s.Right(100), "10.1.1.2"},
        {s.Mid(3, 3), "1.1"},
        {s.Mid(6, 99), ".2"},
        {s.Mid(99, 1), ""},
        {s.Left(2) + s.Right(2), "10.2"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(c.actual, c.expected);
    }
}

TEST(CStringTest, ConcatenationKeepsBytes)
{
    CString s("a");
    s += CString('\xE9');
    s += "=";
    s += 'z';
    EXPECT_EQ(s.Str(), std::string("a\xE9=z"));
    EXPECT_EQ("<" + s + ">", "<a\xE9=z>");
}

} // namespace
