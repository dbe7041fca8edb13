// Runs the real tavrelctl.exe (the program under test) as a child process, as a script on Windows would.

#include <windows.h>

#include "files/FileHandle.h"
#include "files/win32/WidePath.h"
#include "tests/windows/ProgramUnderTest.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ConcurrentSets.h"
#include "tests/support/SampleConfig.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace
{
const std::string kShown =
    "control-unit=10.1.1.3\nshelf-management=10.1.1.2\nsubnet-mask=255.255.255.0\ndefault-router=10.1.1.1\n";

class Tavrelctl : public testing::Test
{
protected:
    TempFolder m_folder;
};

// Line ends stay bare line feeds on Windows too, and the file is the dialog's, CR LF and all.
TEST_F(Tavrelctl, SetThenShowRoundTrip)
{
    const ProcessResult set =
        RunProcess(ProgramUnderTest(), {"set", "--control-unit", "010.001.001.003", "--shelf-management", "10.1.1.2",
                                        "--subnet-mask", "255.255.255.0", "--default-router", "10.1.1.1"});
    EXPECT_EQ(set.status, 0);
    EXPECT_EQ(set.err, "");
    EXPECT_EQ(ReadFileBytes("lan.cfg"), kSampleConfigText);

    const ProcessResult show = RunProcess(ProgramUnderTest(), {"show"});
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(show.out, kShown);
    EXPECT_EQ(show.err, "");
}

// Another program holds lan.cfg open without sharing: show waits a moment out, and where the hold
// lasts it fails naming the cause.
TEST_F(Tavrelctl, ShowOfAFileHeldWithoutSharingWaitsAMomentThenNamesTheCause)
{
    WriteFileBytes("lan.cfg", kSampleConfigText);
    for (const bool releasedSoon : {true, false})
    {
        SCOPED_TRACE(releasedSoon ? "held for a moment" : "held throughout");
        FileHandle held(CreateFileW(L"lan.cfg", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.IsValid());
        std::thread release(
            [&held, releasedSoon]
            {
                if (releasedSoon)
                {
                    std::this_thread::sleep_for(std::chrono::milliseconds(200));
                    held.Reset();
                }
            });
        const ProcessResult show = RunProcess(ProgramUnderTest(), {"show"});
        release.join();
        held.Reset();
        EXPECT_EQ(show.status, releasedSoon ? 0 : 2);
        EXPECT_EQ(show.out, releasedSoon ? kShown : "");
        EXPECT_EQ(show.err,
                  releasedSoon ? "" : "tavrelctl: lan.cfg: cannot be read: the file is in use by another program\n");
    }
}

// A device name opens the device (a serial port): it is refused as no file, and set makes no
// COM1.lock, which would be the device again.
TEST_F(Tavrelctl, DeviceNameIsRefusedUnopened)
{
    const ProcessResult show = RunProcess(ProgramUnderTest(), {"show", "--file", "COM1"});
    EXPECT_EQ(show.status, 2);
    EXPECT_EQ(show.err, "tavrelctl: COM1: not a regular file\n");
    const ProcessResult set = RunProcess(ProgramUnderTest(), {"set", "--file", "com1", "--control-unit", "10.1.1.3"});
    EXPECT_EQ(set.status, 2);
    EXPECT_EQ(set.err, "tavrelctl: com1: not a regular file\n");
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{});
}

// The Windows habit asks for the help as --help does.
TEST_F(Tavrelctl, SlashQuestionMarkShowsTheHelp)
{
    const ProcessResult help = RunProcess(ProgramUnderTest(), {"/?"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: tavrelctl")) << help.out;
    EXPECT_EQ(help.out, RunProcess(ProgramUnderTest(), {"--help"}).out);
}

// Two sets at once, each changing another setting: both changes land, or one set is refused with the
// lock's own status and writes nothing.
TEST_F(Tavrelctl, ConcurrentSetsLoseNoChange)
{
    ExpectConcurrentSetsLoseNoChange(30, [](const std::vector<std::string>& args)
                                     { return RunProcess(ProgramUnderTest(), args); });
}

// --file in a folder whose name the ANSI code page lacks: read from the wide command line and saved.
TEST_F(Tavrelctl, FileInAFolderNamedOutsideTheAnsiCodePage)
{
    const std::string folder = "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xbc\xd0\xb5\xd1\x80";
    ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::path(WidePath(folder))));
    const std::string file = folder + "\\lan.cfg";
    const ProcessResult set =
        RunProcess(ProgramUnderTest(), {"set", "--file", file, "--control-unit", "10.1.1.3", "--shelf-management",
                                        "10.1.1.2", "--subnet-mask", "255.255.255.0", "--default-router", "10.1.1.1"});
    EXPECT_EQ(set.status, 0);
    EXPECT_EQ(set.err, "");
    EXPECT_EQ(ReadFileBytes(std::filesystem::path(WidePath(file))), kSampleConfigText);
    const ProcessResult show = RunProcess(ProgramUnderTest(), {"show", "--file", file});
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(show.err, "");
}
} // namespace
