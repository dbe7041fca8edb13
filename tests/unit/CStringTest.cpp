#include "framework/CString.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

TEST(CStringTest, ConstructionFromACStringStopsAtNul)
{
    const char bytes[] = {'a', '\0', 'b', '\0'};
    EXPECT_EQ(CString(bytes).GetLength(), 1);
    EXPECT_EQ(CString(static_cast<const char*>(nullptr)).GetLength(), 0);
    EXPECT_EQ(CString(std::string("a\0b", 3)).GetLength(), 3);
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
        {s.Right(-1), ""},
        {s.Right(100), "10.1.1.2"},
        {s.Left(2) + s.Right(2), "10.2"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(c.actual, c.expected);
    }
}

TEST(CStringTest, BytesAboveAsciiAreKept)
{
    const CString s = CString("a\xE9") + "=z";
    EXPECT_EQ(s.View(), "a\xE9=z");
    EXPECT_EQ(s.GetAt(1), '\xE9');
}

} // namespace
