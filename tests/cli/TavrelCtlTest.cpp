#include "res/Version.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ConcurrentSets.h"
#include "tests/support/SampleConfig.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace
{
// What stands at the case's path before the run, besides its bytes.
enum class Setup
{
    Plain,
    Directory,
    Fifo,
    ReadOnlyFile,
    // These two run the program as nobody: root would be let through.
    UnreadableFile,
    ReadOnlyFolder,
};

struct Case
{
    std::string name{};
    std::vector<std::string> args{};
    int status = 0;
    std::string out{};
    std::string err{};
    // The file's bytes before the run (none: no file) and after it (none: as before).
    std::optional<std::string> before{};
    std::optional<std::string> after{};
    Setup setup = Setup::Plain;
    std::string path = "lan.cfg";
    // With --json: standard output as a Python literal of what a JSON parser must make of it, in
    // place of its exact bytes.
    std::optional<std::string> json{};
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

ProcessResult RunTavrelCtl(const std::vector<std::string>& args, bool asNobody = false)
{
    return RunProcess(TAVRELCTL_PATH, args, asNobody);
}

std::set<fs::path> Entries()
{
    return {fs::recursive_directory_iterator("."), fs::recursive_directory_iterator()};
}

// A real JSON parser (Python's) reads the output: one line of ASCII whose value equals expected, a
// Python literal whose strings hold the file's bytes as characters of the same number.
testing::AssertionResult ParsesAs(const std::string& out, const std::string& expected)
{
    constexpr const char* kScript = R"(import ast, json, sys
out = sys.argv[1]
if not out.isascii() or out.count("\n") != 1 or not out.endswith("\n"):
    sys.exit("not one line of ASCII: " + repr(out))
got = json.loads(out)
if got != ast.literal_eval(sys.argv[2]):
    sys.exit("parsed as " + repr(got))
)";
    const ProcessResult python = RunProcess(PYTHON3_PATH, {"-c", kScript, out, expected});
    if (python.status == 0)
    {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << python.err;
}

class TavrelCtlTest : public testing::TestWithParam<Case>
{
protected:
    TempFolder m_folder;
};

TEST_P(TavrelCtlTest, Run)
{
    const Case& c = GetParam();
    fs::create_directories(fs::absolute(c.path).parent_path());
    if (c.before)
    {
        WriteFileBytes(c.path, *c.before);
    }
    const char* const path = c.path.c_str();
    switch (c.setup)
    {
    case Setup::Directory:
        ASSERT_EQ(mkdir(path, 0755), 0);
        break;
    case Setup::Fifo:
        ASSERT_EQ(mkfifo(path, 0644), 0);
        break;
    case Setup::ReadOnlyFile:
        ASSERT_EQ(chmod(path, 0444), 0);
        break;
    case Setup::UnreadableFile:
        ASSERT_EQ(chmod(path, 0), 0);
        break;
    case Setup::Plain:
    case Setup::ReadOnlyFolder:
        break;
    }
    // nobody must reach the folder, and may not write into it when so asked.
    ASSERT_EQ(chmod(".", c.setup == Setup::ReadOnlyFolder ? 0555 : 0755), 0);
    const std::set<fs::path> entriesBefore = Entries();

    const ProcessResult result =
        RunTavrelCtl(c.args, c.setup == Setup::UnreadableFile || c.setup == Setup::ReadOnlyFolder);

    EXPECT_EQ(result.status, c.status);
    if (c.json)
    {
        EXPECT_TRUE(ParsesAs(result.out, *c.json));
    }
    else
    {
        EXPECT_EQ(result.out, c.out);
    }
    EXPECT_EQ(result.err, c.err);
    chmod(path, 0644);
    EXPECT_EQ(ReadFileBytes(c.path), c.after ? c.after : c.before);
    // Nothing else appears, such as a temporary file left behind; set leaves its lock file where the
    // folder takes one.
    std::set<fs::path> entriesExpected = entriesBefore;
    if (c.after && !c.before)
    {
        entriesExpected.insert(fs::path(".") / c.path);
    }
    if (!c.args.empty() && c.args[0] == "set" && c.status != 64 && c.setup != Setup::ReadOnlyFolder)
    {
        entriesExpected.insert(fs::path(".") / (c.path + ".lock"));
    }
    EXPECT_EQ(Entries(), entriesExpected);
}

const std::string kSample(kSampleConfigText);
const std::string kShown =
    "control-unit=10.1.1.3\nshelf-management=10.1.1.2\nsubnet-mask=255.255.255.0\ndefault-router=10.1.1.1\n";
// The dialog's message, then the cause.
std::string WriteFailed(const char* cause)
{
    return std::string(
               "tavrelctl: lan.cfg: Unable to write to Configuration file. Verify the file Write permission: ") +
           cause + "\n";
}
const std::string kNotRegular = "tavrelctl: lan.cfg: not a regular file\n";
const std::string kMissing = "tavrelctl: lan.cfg: no such file\n";
const std::string kSame =
    "tavrelctl: lan.cfg: warning: control-unit and shelf-management are the same address 10.1.1.3\n";
const std::vector<std::string> kSetOne = {"set", "--control-unit", "10.1.1.4"};
const std::vector<std::string> kSetAll = {"set",      "--control-unit", "10.1.1.3",      "--shelf-management",
                                          "10.1.1.2", "--subnet-mask",  "255.255.255.0", "--default-router",
                                          "10.1.1.1"};

// The sample's settings as --json gives them, as a Python literal.
const std::string kSampleJson = R"({"control-unit": "10.1.1.3", "shelf-management": "10.1.1.2", )"
                                R"("subnet-mask": "255.255.255.0", "default-router": "10.1.1.1"})";

Case Json(Case c, const std::string& expected)
{
    c.json = expected;
    return c;
}

std::string Name(const testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

// Columns: name, arguments, status, standard output, standard error, file before, file after, setup, path.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Show, TavrelCtlTest, testing::Values(
    Case{"Sample", {"show"}, 0, kShown, "", kSample},
    Case{"ValuesByteForByte", {"show"}, 0,
         "control-unit=010.1.1.3 x\xE9\nshelf-management=\nsubnet-mask=255.255.255.0\ndefault-router=\n", "",
         "MANAGMENT_IP_ADDR=010.1.1.3 x\xE9\nSHELF_MNG_SUBNETMASK=255.255.255.0\r\n"},
    Case{"FileOption", {"show", "--file", "units/7/lan.cfg"}, 0, kShown, "", kSample, {}, Setup::Plain,
         "units/7/lan.cfg"},
    Case{"Missing", {"show"}, 2, "", kMissing},
    Case{"Directory", {"show"}, 2, "", kNotRegular, {}, {}, Setup::Directory},
    Case{"Fifo", {"show"}, 2, "", kNotRegular, {}, {}, Setup::Fifo},
    Case{"Device", {"show", "--file", "/dev/zero"}, 2, "", "tavrelctl: /dev/zero: not a regular file\n"},
    Case{"Unreadable", {"show"}, 2, "", "tavrelctl: lan.cfg: cannot be read: permission denied\n", kSample, {},
         Setup::UnreadableFile},
    // The help words of Windows are a file's name where an option takes them as its value.
    Case{"HelpWordAsFileName", {"show", "--file", "-?"}, 2, "", "tavrelctl: -?: no such file\n"},
    Json({"Json", {"show", "--json"}, 0, "", "", kSample}, R"({"settings": )" + kSampleJson + "}"),
    // Bytes above 0x7F, control bytes, quote and backslash: each comes back as the same byte.
    Json({"JsonBytes", {"show", "--json"}, 0, "", "", "MANAGMENT_IP_ADDR=a\x01\"\\\xE9\xFF\x7F\r\n"},
         R"({"settings": {"control-unit": 'a\x01"\\\xe9\xff\x7f', "shelf-management": "", "subnet-mask": "", )"
         R"("default-router": ""}})")),
    Name);

INSTANTIATE_TEST_SUITE_P(Check, TavrelCtlTest, testing::Values(
    Case{"Sample", {"check"}, 0, "", "", kSample},
    Case{"FirstFailureOnly", {"check"}, 1, "", "tavrelctl: lan.cfg: Invalid Subnet Mask IP address\n",
         CanonicalConfigText("010.1.1.3", "10.1.1.2", "255.255.255.x", "router")},
    Case{"Missing", {"check"}, 2, "", kMissing},
    Json({"JsonWarnings", {"check", "--json"}, 0, "", kSame,
          CanonicalConfigText("10.1.1.3", "10.1.1.3", "255.255.255.0", "10.1.1.1")},
         R"({"settings": {"control-unit": "10.1.1.3", "shelf-management": "10.1.1.3", "subnet-mask": "255.255.255.0", )"
         R"("default-router": "10.1.1.1"}, "warnings": [{"code": "same-address", "message": )"
         R"("control-unit and shelf-management are the same address 10.1.1.3"}]})")),
    Name);

INSTANTIATE_TEST_SUITE_P(Set, TavrelCtlTest, testing::Values(
    Case{"CreatesMissingFileCanonically", {"set", "--control-unit", "010.001.001.003", "--shelf-management",
         "10.1.1.2", "--subnet-mask", "255.255.255.0 ", "--default-router", "+10.1.1.1"}, 0, "", "", {}, kSample},
    Case{"ChangesOnlyTheNamedSetting", {"set", "--default-router", "10.1.1.254"}, 0, "", "", kSample,
         CanonicalConfigText("10.1.1.3", "10.1.1.2", "255.255.255.0", "10.1.1.254")},
    Case{"FileOptionWithEquals", {"set", "--file=units/b/lan.cfg", "--control-unit=10.1.1.9"}, 0, "", "", kSample,
         CanonicalConfigText("10.1.1.9", "10.1.1.2", "255.255.255.0", "10.1.1.1"), Setup::Plain, "units/b/lan.cfg"},
    Case{"InvalidAddress", {"set", "--control-unit", "10.1.1.300"}, 1, "",
         "tavrelctl: lan.cfg: Invalid Control Unit IP address\n", kSample},
    Case{"ChecksLoadedSettingsToo", kSetOne, 1, "", "tavrelctl: lan.cfg: Invalid Default Router IP address\n",
         CanonicalConfigText("10.1.1.3", "10.1.1.2", "255.255.255.0", "10.1.1.1x")},
    Case{"WarningWrites", {"set", "--shelf-management", "10.1.1.3"}, 0, "", kSame, kSample,
         CanonicalConfigText("10.1.1.3", "10.1.1.3", "255.255.255.0", "10.1.1.1")},
    Case{"StrictWarningWritesNothing", {"set", "--strict", "--shelf-management", "10.1.1.3"}, 3, "", kSame, kSample},
    Case{"ReadOnlyFile", kSetOne, 2, "", WriteFailed("the file is read-only"), kSample, {}, Setup::ReadOnlyFile},
    Case{"ReadOnlyFolder", kSetAll, 2, "", WriteFailed("permission denied"), {}, {}, Setup::ReadOnlyFolder},
    Case{"Fifo", kSetOne, 2, "", kNotRegular, {}, {}, Setup::Fifo},
    Json({"JsonChanged", {"set", "--json", "--default-router", "10.1.1.254"}, 0, "", "", kSample,
          CanonicalConfigText("10.1.1.3", "10.1.1.2", "255.255.255.0", "10.1.1.254")},
         R"({"settings": {"control-unit": "10.1.1.3", "shelf-management": "10.1.1.2", "subnet-mask": "255.255.255.0", )"
         R"("default-router": "10.1.1.254"}, "warnings": [], "changed": True})"),
    Json({"JsonUnchanged", {"set", "--json", "--default-router", "10.1.1.1"}, 0, "", "", kSample},
         R"({"settings": )" + kSampleJson + R"(, "warnings": [], "changed": False})"),
    // What the file holds is what was loaded: nothing was written.
    Json({"JsonInvalidAddress", {"set", "--json", "--subnet-mask", "255.255.255.x"}, 1, "",
          "tavrelctl: lan.cfg: Invalid Subnet Mask IP address\n", kSample},
         R"({"settings": )" + kSampleJson + R"(, "warnings": [], "changed": False, "error": )"
         R"({"code": "invalid-address", "message": "Invalid Subnet Mask IP address"}})")),
    Name);
// clang-format on

Case Usage(const char* name, std::vector<std::string> args, const std::string& error)
{
    return {name, std::move(args), 64, "", "tavrelctl: " + error + " (see tavrelctl --help)\n", kSample};
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Usage, TavrelCtlTest, testing::Values(
    Usage("NoArguments", {}, "no command given"),
    Usage("UnknownCommand", {"shwo"}, "unknown command 'shwo'"),
    Usage("SecondCommand", {"show", "check"}, "unexpected argument 'check'"),
    Usage("UnknownOption", {"show", "--fiel", "x"}, "unknown option '--fiel'"),
    Usage("MissingValue", {"show", "--file"}, "missing value for --file"),
    Usage("OptionIsNoValue", {"set", "--control-unit", "--strict"}, "missing value for --control-unit"),
    Usage("EmptyValue", {"set", "--control-unit", ""}, "empty value for --control-unit"),
    Usage("RepeatedOption", {"set", "--control-unit", "10.1.1.4", "--control-unit", "10.1.1.5"},
          "--control-unit is given twice"),
    // The dialog's check alone would pass it: nothing after a trailing blank is looked at.
    Usage("NonAsciiValue", {"set", "--control-unit", "10.1.1.4 \xC3\xA9"},
          "non-ASCII byte in the value of --control-unit"),
    Usage("OptionOfAnotherCommand", {"show", "--strict"}, "--strict does not go with show"),
    Usage("SetNamesNothing", {"set", "--strict"}, "set names no setting to change"),
    Json(Usage("Json", {"show", "--json", "--fiel", "x"}, "unknown option '--fiel'"),
         R"({"error": {"code": "usage", "message": "unknown option '--fiel'"}})")),
    Name);

// Columns: name, control unit, shelf management, mask, router, the warning (none: empty).
const std::vector<std::array<std::string, 6>> kWarningRows = {
    // The router lies outside the subnets too, but without a contiguous mask there are none.
    {"MaskNotContiguous", "10.1.1.3", "10.1.1.2", "255.0.255.0", "10.9.9.9",
     "subnet-mask 255.0.255.0 is not contiguous ones then zeros; the subnet checks are skipped"},
    {"NetworkAddress", "10.1.1.0", "10.1.1.2", "255.255.255.0", "10.1.1.1",
     "control-unit 10.1.1.0 is the network address of its subnet 10.1.1.0/24"},
    {"BroadcastAddressOfSlash30", "10.1.1.1", "10.1.1.3", "255.255.255.252", "10.1.1.2",
     "shelf-management 10.1.1.3 is the broadcast address of its subnet 10.1.1.0/30"},
    {"Slash31HasNoNetworkOrBroadcast", "10.1.1.0", "10.1.1.1", "255.255.255.254", "10.1.1.1", ""},
    {"RouterOutsideControlUnitSubnet", "10.1.2.3", "10.1.1.2", "255.255.255.0", "10.1.1.1",
     "default-router 10.1.1.1 is outside the subnet 10.1.2.0/24 of control-unit 10.1.2.3"},
    {"RouterOutsideShelfManagementSubnet", "10.1.1.3", "10.1.2.2", "255.255.255.0", "10.1.1.1",
     "default-router 10.1.1.1 is outside the subnet 10.1.2.0/24 of shelf-management 10.1.2.2"},
    {"SameAddress", "10.1.1.3", "10.1.1.3", "255.255.255.0", "10.1.1.1",
     "control-unit and shelf-management are the same address 10.1.1.3"},
};
// clang-format on

// Each network warning as check reports it, and fails with it under --strict.
std::vector<Case> WarningCases()
{
    std::vector<Case> cases;
    for (const auto& [name, controlUnit, shelfMng, mask, router, warning] : kWarningRows)
    {
        const std::string file = CanonicalConfigText(controlUnit, shelfMng, mask, router);
        const std::string err = warning.empty() ? "" : "tavrelctl: lan.cfg: warning: " + warning + "\n";
        cases.push_back({name, {"check"}, 0, "", err, file});
        cases.push_back({name + "Strict", {"check", "--strict"}, warning.empty() ? 0 : 3, "", err, file});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Warnings, TavrelCtlTest, testing::ValuesIn(WarningCases()), Name);

class TavrelCtlProgramTest : public testing::Test
{
protected:
    TempFolder m_folder;
};

TEST_F(TavrelCtlProgramTest, HelpNamesEveryCommandOptionAndStatus)
{
    const ProcessResult help = RunTavrelCtl({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(RunTavrelCtl({"help"}).out, help.out);
    EXPECT_EQ(RunTavrelCtl({"show", "-?"}).out, help.out);
    EXPECT_EQ(RunTavrelCtl({"/?"}).out, help.out);
    // An 80-column console does not wrap it.
    for (std::size_t start = 0, end = 0; start < help.out.size(); start = end + 1)
    {
        end = help.out.find('\n', start);
        EXPECT_LE(end - start, 79U) << help.out.substr(start, end - start);
    }
    for (const char* word :
         {"show", "check", "set", "--file", "--strict", "--control-unit", "--shelf-management", "--subnet-mask",
          "--default-router", "--version", "\n  0 ", "\n  1 ", "\n  2 ", "\n  3 ", "\n  64 ", "\n  75 "})
    {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
}

// A set that would write the bytes the file holds writes nothing: the same file, the same time.
TEST_F(TavrelCtlProgramTest, SetTwiceWithTheSameSettingsLeavesTheFileUntouched)
{
    const std::vector<std::string> set = {
        "set",           "--control-unit", "10.1.1.3",         "--shelf-management", "10.1.1.2",
        "--subnet-mask", "255.255.255.0",  "--default-router", "010.001.001.001"};
    ASSERT_EQ(RunTavrelCtl(set).status, 0);
    // A time long past, so that any write would show in it.
    const timespec times[2] = {{946684800, 0}, {946684800, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, "lan.cfg", times, 0), 0);
    struct stat before
    {
    };
    ASSERT_EQ(stat("lan.cfg", &before), 0);

    const ProcessResult again = RunTavrelCtl(set);
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out + again.err, "");
    struct stat after
    {
    };
    ASSERT_EQ(stat("lan.cfg", &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_ctim.tv_sec, before.st_ctim.tv_sec);
    EXPECT_EQ(after.st_ctim.tv_nsec, before.st_ctim.tv_nsec);
    EXPECT_EQ(ReadFileBytes("lan.cfg"), kSampleConfigText);
}

TEST_F(TavrelCtlProgramTest, VersionIsTheProjectVersion)
{
    const ProcessResult version = RunTavrelCtl({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tavrelctl " TAVREL_VERSION_STRING "\n");
}

// A shell runs the program, so that its standard output can be made what a script might leave it.
ProcessResult RunTavrelCtlWithOutput(const std::string& args, const std::string& redirection)
{
    return RunProcess("/bin/sh", {"-c", "exec \"$0\" " + args + " " + redirection, TAVRELCTL_PATH});
}

TEST_F(TavrelCtlProgramTest, OutputThatCannotBeWrittenFailsTheCommand)
{
    WriteFileBytes("lan.cfg", kSampleConfigText);
    const struct
    {
        const char* args;
        const char* redirection;
        const char* cause;
    } cases[] = {
        {"show", ">/dev/full", "no space left on device"},
        {"--help", ">/dev/full", "no space left on device"},
        // A file opened later must not become the output: show would write lan.cfg into itself.
        {"show", ">&-", "bad file descriptor"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.args) + " " + c.redirection);
        const ProcessResult result = RunTavrelCtlWithOutput(c.args, c.redirection);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err, std::string("tavrelctl: cannot write the output: ") + c.cause + "\n");
        EXPECT_EQ(ReadFileBytes("lan.cfg"), kSampleConfigText);
    }
}

// Why strace cannot inject errors here, or nothing when it can.
std::string WhyNoStrace()
{
    const ProcessResult probe = RunProcess("/bin/sh", {"-c", "strace -qq -o /dev/null true"});
    return probe.status == 0 ? "" : "strace cannot trace here (ptrace not permitted?): " + probe.err;
}

// Each command meets a failed first read of the file: it must not take what it read for all there is.
TEST_F(TavrelCtlProgramTest, ReadErrorFailsTheCommandAndSetWritesNothing)
{
    if (const std::string reason = WhyNoStrace(); !reason.empty())
    {
        GTEST_SKIP() << reason;
    }
    WriteFileBytes("lan.cfg", kSampleConfigText);
    // The first read of the file fails. LeakSanitizer cannot work under ptrace, so the sanitizer build
    // leaves it out of the traced run.
    const char* const asanOptions = std::getenv("ASAN_OPTIONS");
    const std::vector<std::string> strace = {
        "-f",          "-qq",
        "-o",          "/dev/null",
        "-e",          "trace=read",
        "-e",          "inject=read:error=EIO:when=1",
        "-P",          fs::absolute("lan.cfg").string(),
        "-E",          "ASAN_OPTIONS=" + std::string(asanOptions != nullptr ? asanOptions : "") + ":detect_leaks=0",
        TAVRELCTL_PATH};
    for (const std::vector<std::string>& command :
         std::vector<std::vector<std::string>>{{"show"}, {"check"}, {"set", "--subnet-mask", "255.255.0.0"}})
    {
        SCOPED_TRACE(command[0]);
        std::vector<std::string> args = strace;
        args.insert(args.end(), command.begin(), command.end());
        const ProcessResult result = RunProcess("/usr/bin/strace", args);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "tavrelctl: lan.cfg: cannot be read: input/output error\n");
        EXPECT_EQ(ReadFileBytes("lan.cfg"), kSampleConfigText);
    }
}

// Two sets at once, each changing another setting: both changes land, or one set is refused with the
// lock's own status and writes nothing. Never does one silently undo the other.
TEST_F(TavrelCtlProgramTest, ConcurrentSetsLoseNoChange)
{
    ExpectConcurrentSetsLoseNoChange(20, [](const std::vector<std::string>& args) { return RunTavrelCtl(args); });
}

TEST_F(TavrelCtlProgramTest, HugeFileOfOneLineLoads)
{
    // 40 MB without a line end; the key starts a 199-byte read of its own, found only by reading to the end.
    WriteFileBytes("lan.cfg", std::string(199 * 200'000, 'x') + "MANAGMENT_IP_ADDR=10.1.1.3");
    const ProcessResult show = RunTavrelCtl({"show"});
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(show.out, "control-unit=10.1.1.3\nshelf-management=\nsubnet-mask=\ndefault-router=\n");
}
} // namespace
