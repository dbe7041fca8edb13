// Starts the real Tavrel.exe and drives it from outside as a person would.
// Usage: gui_e2e [GoogleTest options] TAVREL_EXE

#include "tests/gui/e2e/CaseSupport.h"

#include <cstdio>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the cases needs no program to drive.
    if (argc == 2)
    {
        e2e::SetTavrelExe(argv[1]);
    }
    else if (!GTEST_FLAG_GET(list_tests))
    {
        std::fprintf(stderr, "usage: %s [GoogleTest options] TAVREL_EXE\n", argv[0]);
        return 2;
    }
    return RUN_ALL_TESTS();
}
