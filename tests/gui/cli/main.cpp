// Runs the real tavrelctl.exe as a child process, as a script on Windows would.
// Usage: cli_e2e [GoogleTest options] TAVRELCTL_EXE

#include "tests/support/ChildProcess.h"
#include "tests/support/SampleConfig.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace
{
// The program under test, as given on the command line after the test options.
class Tavrelctl : public testing::Test
{
public:
    static std::string& Exe()
    {
        static std::string s_exe;
        return s_exe;
    }

protected:
    TempFolder m_folder;
};

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

// Line ends stay bare line feeds on Windows too, and the file is the dialog's, CR LF and all.
TEST_F(Tavrelctl, SetThenShowRoundTrip)
{
    const ProcessResult set =
        RunProcess(Exe(), {"set", "--control-unit", "010.001.001.003", "--shelf-management", "10.1.1.2",
                           "--subnet-mask", "255.255.255.0", "--default-router", "10.1.1.1"});
    EXPECT_EQ(set.status, 0);
    EXPECT_EQ(set.err, "");
    EXPECT_EQ(ReadFileBytes("lan.cfg"), kSampleConfigText);

    const ProcessResult show = RunProcess(Exe(), {"show"});
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(show.out,
              "control-unit=10.1.1.3\nshelf-management=10.1.1.2\nsubnet-mask=255.255.255.0\ndefault-router=10.1.1.1\n");
    EXPECT_EQ(show.err, "");
}
} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the cases needs no program to run.
    if (argc == 2)
    {
        Tavrelctl::Exe() = WindowsPath(argv[1]);
    }
    else if (!GTEST_FLAG_GET(list_tests))
    {
        std::fprintf(stderr, "usage: %s [GoogleTest options] TAVRELCTL_EXE\n", argv[0]);
        return 2;
    }
    return RUN_ALL_TESTS();
}
