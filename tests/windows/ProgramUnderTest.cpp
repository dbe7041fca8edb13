#include "tests/windows/ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace
{
std::string& ProgramPath()
{
    static std::string s_path;
    return s_path;
}

// Converts a Unix path (as CMake hands it over under Wine) to the drive Wine maps the root to.
std::string WindowsPath(std::string path)
{
    if (path.empty() || path.front() != '/')
    {
        return path;
    }
    for (char& ch : path)
    {
        ch = ch == '/' ? '\\' : ch;
    }
    return "Z:" + path;
}
} // namespace

const std::string& ProgramUnderTest()
{
    return ProgramPath();
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the cases needs no program to drive.
    if (argc == 2)
    {
        ProgramPath() = WindowsPath(argv[1]);
    }
    else if (!GTEST_FLAG_GET(list_tests))
    {
        std::fprintf(stderr, "usage: %s [GoogleTest options] PROGRAM\n", argv[0]);
        return 2;
    }
    return RUN_ALL_TESTS();
}
