#include "files/FileHandle.h"
#include "res/Version.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ConcurrentSets.h"
#include "tests/support/SampleConfig.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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
    // Another set holds the file's lock throughout.
    LockHeld,
    // What anyone who may write the folder can put in the lock file's place.
    LockIsAFolder,
    LockIsADanglingLink,
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
    FileHandle lock;
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
    case Setup::LockHeld:
        lock.Reset(open((c.path + ".lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644));
        ASSERT_EQ(flock(lock.Get(), LOCK_EX), 0);
        break;
    case Setup::LockIsAFolder:
        ASSERT_EQ(mkdir((c.path + ".lock").c_str(), 0755), 0);
        break;
    case Setup::LockIsADanglingLink:
        ASSERT_EQ(symlink("elsewhere", (c.path + ".lock").c_str()), 0);
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
    // folder takes one, and only beside what may be a settings file.
    std::set<fs::path> entriesExpected = entriesBefore;
    if (c.after && !c.before)
    {
        entriesExpected.insert(fs::path(".") / c.path);
    }
    if (!c.args.empty() && c.args[0] == "set" && c.status != 64 && c.setup != Setup::ReadOnlyFolder &&
        c.setup != Setup::Directory && c.setup != Setup::Fifo)
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
const std::string kBusy = "tavrelctl: lan.cfg: being changed by another tavrelctl; try again\n";
const std::string kLockNotRegular =
    "tavrelctl: lan.cfg: cannot be locked for the change: lock file lan.cfg.lock: not a regular file\n";
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
    // A name would otherwise recolour the terminal and forge a second message.
    Case{"ControlBytesInTheName", {"show", "--file", "x\x1b[31my\ntavrelctl: lan.cfg: warning: forged"}, 2, "",
         "tavrelctl: x\\e[31my\\ntavrelctl: lan.cfg: warning: forged: no such file\n"},
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
    Case{"Directory", kSetOne, 2, "", kNotRegular, {}, {}, Setup::Directory},
    Case{"LockHeldByAnother", kSetOne, 75, "", kBusy, kSample, {}, Setup::LockHeld},
    // Locking the file itself instead would protect nothing: the save replaces it.
    Case{"LockFileIsAFolder", kSetOne, 75, "", kLockNotRegular, kSample, {}, Setup::LockIsAFolder},
    Case{"LockFileIsADanglingLink", kSetOne, 75, "", kLockNotRegular, kSample, {}, Setup::LockIsADanglingLink},
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
         R"({"error": {"code": "usage", "message": "unknown option '--fiel'"}})"),
    // Quoted on standard error; the JSON holds the bytes, escaped once by its own rule.
    Json(Usage("ControlBytesQuotedOnce", {"show", "--json", "x\x01\\"}, "unexpected argument 'x\\x01\\\\'"),
         R"({"error": {"code": "usage", "message": "unexpected argument 'x\x01\\'"}})")),
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
    // Each address its own subnet: only the router's place is told.
    {"Slash32HasNoNetworkOrBroadcast", "10.1.1.3", "10.1.1.2", "255.255.255.255", "10.1.1.3",
     "default-router 10.1.1.3 is outside the subnet 10.1.1.2/32 of shelf-management 10.1.1.2"},
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

// A shell runs the program ("$0" in command), so that its standard streams can be made what a script
// might leave them.
ProcessResult RunTavrelCtlInShell(const std::string& command)
{
    return RunProcess("/bin/sh", {"-c", command, TAVRELCTL_PATH});
}

TEST_F(TavrelCtlProgramTest, OutputThatCannotBeWrittenFailsTheCommand)
{
    WriteFileBytes("lan.cfg", kSampleConfigText);
    WriteFileBytes("same.cfg", CanonicalConfigText("10.1.1.3", "10.1.1.3", "255.255.255.0", "10.1.1.1"));
    const std::string cannotWrite = "tavrelctl: cannot write the output: ";
    // The buffer stdbuf's library gives the stream is never freed, which LeakSanitizer would report.
    const std::string stdbuf = "env ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" stdbuf";
    const struct
    {
        std::string command;
        std::string err;
    } cases[] = {
        {"exec \"$0\" show >/dev/full", cannotWrite + "no space left on device\n"},
        {"exec \"$0\" --help >/dev/full", cannotWrite + "no space left on device\n"},
        // More than the stream's buffer holds: a write fails before the final flush.
        {"exec " + stdbuf + " -o16 \"$0\" show >/dev/full", cannotWrite + "no space left on device\n"},
        // Line by line, as to a terminal: the system's reason all the same.
        {"exec " + stdbuf + " -oL \"$0\" show >/dev/full", cannotWrite + "no space left on device\n"},
        // A file opened later must not become the output: show would write lan.cfg into itself.
        {"exec \"$0\" show >&-", cannotWrite + "bad file descriptor\n"},
        // A warning that cannot be told fails the command that would have succeeded.
        {"exec \"$0\" check --file same.cfg 2>/dev/full", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.command);
        const ProcessResult result = RunTavrelCtlInShell(c.command);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(ReadFileBytes("lan.cfg"), kSampleConfigText);
    }
}

// Why strace cannot inject errors here, or nothing when it can.
std::string WhyNoStrace()
{
    const ProcessResult probe = RunProcess("/bin/sh", {"-c", "strace -qq -o /dev/null true"});
    return probe.status == 0 ? "" : "strace cannot trace here (ptrace not permitted?): " + probe.err;
}

// Runs command (a program and its arguments) under strace with its options. LeakSanitizer cannot work
// under ptrace, so the sanitizer build leaves it out of the traced run.
ProcessResult RunTraced(const std::vector<std::string>& options, const std::vector<std::string>& command)
{
    const char* const asanOptions = std::getenv("ASAN_OPTIONS");
    std::vector<std::string> strace = {"-f", "-qq", "-E",
                                       "ASAN_OPTIONS=" + std::string(asanOptions != nullptr ? asanOptions : "") +
                                           ":detect_leaks=0"};
    strace.insert(strace.end(), options.begin(), options.end());
    strace.insert(strace.end(), command.begin(), command.end());
    return RunProcess("/usr/bin/strace", strace);
}

ProcessResult RunTavrelCtlTraced(const std::vector<std::string>& options, const std::vector<std::string>& args)
{
    std::vector<std::string> command = {TAVRELCTL_PATH};
    command.insert(command.end(), args.begin(), args.end());
    return RunTraced(options, command);
}

void EmptyTheFolder()
{
    for (const fs::directory_entry& entry : fs::directory_iterator("."))
    {
        fs::remove_all(entry.path());
    }
}

// A system call fails under each command: it must fail with the cause, and change nothing. A read of
// the file first: what was read may not be all there is. Then each step of set's save: none may be
// excused by writing in place, and no temporary file may be left.
TEST_F(TavrelCtlProgramTest, InjectedFailureFailsTheCommandAndChangesNothing)
{
    if (const std::string reason = WhyNoStrace(); !reason.empty())
    {
        GTEST_SKIP() << reason;
    }
    const std::string readFailed = "tavrelctl: lan.cfg: cannot be read: input/output error\n";
    const std::vector<std::string> firstRead = {"-e", "inject=read:error=EIO:when=1", "-P",
                                                fs::absolute("lan.cfg").string()};
    const struct
    {
        std::vector<std::string> injection;
        std::vector<std::string> command;
        std::optional<std::string> file;
        std::string err;
    } cases[] = {
        {firstRead, {"show"}, kSample, readFailed},
        {firstRead, {"check"}, kSample, readFailed},
        {firstRead, {"set", "--subnet-mask", "255.255.0.0"}, kSample, readFailed},
        // The first flush is the temporary file's.
        {{"-e", "inject=fsync:error=EIO:when=1"}, kSetOne, kSample, WriteFailed("input/output error")},
        {{"-e", "inject=rename,renameat,renameat2:error=ENOSPC"},
         kSetOne,
         kSample,
         WriteFailed("no space left on the disk")},
        // A missing file's name taken meanwhile, at both tries: never replaced.
        {{"-e", "inject=renameat2:error=EEXIST"}, kSetAll, std::nullopt, WriteFailed("the name was taken meanwhile")},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.injection[1] + " under " + c.command[0]);
        EmptyTheFolder();
        if (c.file)
        {
            WriteFileBytes("lan.cfg", *c.file);
        }
        std::set<fs::path> entries = Entries();
        if (c.command[0] == "set")
        {
            entries.insert(fs::path(".") / "lan.cfg.lock");
        }
        std::vector<std::string> options = {"-o", "/dev/null"};
        options.insert(options.end(), c.injection.begin(), c.injection.end());
        const ProcessResult result = RunTavrelCtlTraced(options, c.command);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(ReadFileBytes("lan.cfg"), c.file);
        EXPECT_EQ(Entries(), entries);
    }
}

// The steps of a save as strace shows them, in order: the temporary file created exclusively, its
// flush, the rename onto the name, the folder's flush.
std::vector<std::string> SaveSteps(const std::string& trace)
{
    std::vector<std::string> steps;
    // What each descriptor number was last opened on.
    std::map<std::string, std::string> opened;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);)
    {
        // Each line is "PID call(arguments) = result", the number padded with blanks.
        line.erase(0, line.find_first_not_of(' ', line.find(' ')));
        const std::size_t equals = line.rfind(" = ");
        const std::string result = equals == std::string::npos ? "" : line.substr(equals + 3);
        const bool temporary = line.find(".~tvl") != std::string::npos;
        if (line.rfind("open", 0) == 0 && temporary)
        {
            opened[result] = "the temporary file";
            steps.push_back(line.find("O_EXCL") != std::string::npos ? "create the temporary file exclusively"
                                                                     : "open the temporary file");
        }
        else if (line.rfind("open", 0) == 0 && line.find("O_DIRECTORY") != std::string::npos)
        {
            opened[result] = "the folder";
        }
        else if (line.rfind("fsync(", 0) == 0)
        {
            steps.push_back("flush " + opened[line.substr(6, line.find(')') - 6)]);
        }
        else if (line.rfind("rename", 0) == 0 && temporary)
        {
            steps.push_back(line.find("RENAME_NOREPLACE") != std::string::npos ? "rename without replacing"
                                                                               : "rename over the file");
        }
    }
    return steps;
}

TEST_F(TavrelCtlProgramTest, SetSavesInTheOrderASafeSaveNeeds)
{
    if (const std::string reason = WhyNoStrace(); !reason.empty())
    {
        GTEST_SKIP() << reason;
    }
    const TempFolder traces(TempFolder::Use::AsPath);
    const std::string trace = (traces.Path() / "trace").string();
    for (const bool exists : {true, false})
    {
        SCOPED_TRACE(exists ? "replacing lan.cfg" : "creating lan.cfg");
        EmptyTheFolder();
        // Other settings than those set: a file that already holds them is not written at all.
        if (exists)
        {
            WriteFileBytes("lan.cfg", kEarlierConfigText);
        }
        const ProcessResult result = RunTavrelCtlTraced(
            {"-o", trace, "-s", "256", "-e", "trace=open,openat,fsync,fdatasync,rename,renameat,renameat2"}, kSetAll);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(ReadFileBytes("lan.cfg"), kSample);
        EXPECT_EQ(SaveSteps(ReadFileBytes(trace).value_or("")),
                  (std::vector<std::string>{"create the temporary file exclusively", "flush the temporary file",
                                            exists ? "rename over the file" : "rename without replacing",
                                            "flush the folder"}));
    }
}

// A container's first process is always pid 1: two runs as pid 1 of a PID namespace of their own still
// choose temporary names that no one could have made in advance.
TEST_F(TavrelCtlProgramTest, RunsAsTheSamePidChooseDifferentTemporaryNames)
{
    if (const std::string reason = WhyNoStrace(); !reason.empty())
    {
        GTEST_SKIP() << reason;
    }
    const TempFolder traces(TempFolder::Use::AsPath);
    std::vector<std::string> names;
    for (const char* run : {"first", "second"})
    {
        // Other settings than those set, so that each run writes.
        WriteFileBytes("lan.cfg", kEarlierConfigText);
        const std::string trace = (traces.Path() / run).string();
        // unshare forks tavrelctl as pid 1 of the new namespace; without root, in a user namespace too.
        std::vector<std::string> command = {"/usr/bin/unshare", ::geteuid() == 0 ? "-pf" : "-rpf", TAVRELCTL_PATH};
        command.insert(command.end(), kSetAll.begin(), kSetAll.end());
        const ProcessResult result = RunTraced({"-o", trace, "-e", "trace=openat"}, command);
        if (result.err.rfind("unshare:", 0) == 0)
        {
            GTEST_SKIP() << "no PID namespace of its own: " << result.err;
        }
        ASSERT_EQ(result.status, 0) << result.err;
        std::smatch name;
        const std::string traced = ReadFileBytes(trace).value_or("");
        ASSERT_TRUE(std::regex_search(traced, name, std::regex(R"(\.~tvl[0-9a-f]{8}\.tmp)"))) << traced;
        names.push_back(name.str());
    }
    EXPECT_NE(names[0], names[1]);
}

// A disk with no inode left, in a mount namespace of the test's own: no temporary file can be made,
// and that is no reason to write the file in place.
TEST_F(TavrelCtlProgramTest, SetOnADiskWithoutFreeInodesFailsAndKeepsTheFile)
{
    if (::geteuid() != 0)
    {
        GTEST_SKIP() << "needs root to mount a disk in a mount namespace of its own";
    }
    // The disk is mounted over the test's folder, seen only inside the namespace: there lan.cfg is
    // written, every inode taken, set run, and lan.cfg shown.
    // The lock file is there before: a lock file that cannot be made is another refusal.
    const std::string script = "mount -t tmpfs -o size=64k,nr_inodes=8 tmpfs \"$1\" && cd \"$1\" || exit 99\n"
                               "printf '%s' \"$2\" >lan.cfg && : >lan.cfg.lock || exit 99\n"
                               "i=0; while true 2>/dev/null >\"full$i\"; do i=$((i + 1)); done\n"
                               "\"$0\" set --control-unit 10.1.1.4\n"
                               "status=$?; cat lan.cfg; exit $status\n";
    const ProcessResult result =
        RunProcess("/usr/bin/unshare", {"-m", "/bin/sh", "-c", script, TAVRELCTL_PATH, fs::current_path().string(),
                                        std::string(kSampleConfigText)});
    if (result.status == 99 || result.err.rfind("unshare:", 0) == 0)
    {
        GTEST_SKIP() << "no disk of its own: " << result.err;
    }
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, WriteFailed("no space left on the disk"));
    EXPECT_EQ(result.out, kSample);
}

// Three sets on a file whose lock file someone made unusable, timed with strace so that a lock on the
// file itself would lose a change: the first opens lan.cfg and is held just before it locks; the
// second replaces the file meanwhile; the third locks the new file, reads it, and is held just
// before its rename; the first then locks the old file, which no one holds any more, and reads
// what the third read. Every set that succeeds must find its change in the end.
TEST_F(TavrelCtlProgramTest, UnusableLockFileLosesNoChangeToThreeSets)
{
    if (const std::string reason = WhyNoStrace(); !reason.empty())
    {
        GTEST_SKIP() << reason;
    }
    const std::pair<std::vector<std::string>, std::string> sets[] = {
        {{"set", "--default-router", "10.1.1.254"}, "MANAGMENT_DEFGATEWAY=10.1.1.254\r\n"},
        {{"set", "--control-unit", "10.1.1.4"}, "MANAGMENT_IP_ADDR=10.1.1.4\r\n"},
        {{"set", "--subnet-mask", "255.255.0.0"}, "MANAGMENT_SUBNETMASK=255.255.0.0\r\n"},
    };
    for (const bool folder : {true, false})
    {
        SCOPED_TRACE(folder ? "a folder as the lock file" : "a dangling link as the lock file");
        EmptyTheFolder();
        WriteFileBytes("lan.cfg", kSampleConfigText);
        ASSERT_EQ(folder ? mkdir("lan.cfg.lock", 0755) : symlink("elsewhere", "lan.cfg.lock"), 0);
        auto first = std::async(std::launch::async, RunTavrelCtlTraced,
                                std::vector<std::string>{"-o", "/dev/null", "-e", "inject=flock:delay_enter=1500ms"},
                                sets[0].first);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const ProcessResult second = RunTavrelCtl(sets[1].first);
        auto third = std::async(
            std::launch::async, RunTavrelCtlTraced,
            std::vector<std::string>{"-o", "/dev/null", "-e", "inject=rename,renameat,renameat2:delay_enter=2s"},
            sets[2].first);
        const ProcessResult results[] = {first.get(), second, third.get()};
        const std::string file = ReadFileBytes("lan.cfg").value_or("");
        for (std::size_t i = 0; i < std::size(sets); ++i)
        {
            EXPECT_TRUE(results[i].status == 75 ||
                        (results[i].status == 0 && file.find(sets[i].second) != std::string::npos))
                << sets[i].first[1] << " exited " << results[i].status << " " << results[i].err << "in\n"
                << file;
        }
    }
}

// root's set through a link that another user made in a folder everyone may write (mode 1777), to a
// file only root may write: refused, as the kernel's own rule refuses to follow such a link, and
// nothing changes.
TEST_F(TavrelCtlProgramTest, SetRefusesAnotherUsersLinkInASharedFolder)
{
    if (::geteuid() != 0)
    {
        GTEST_SKIP() << "needs root and a second user: only root can act as nobody";
    }
    if (ReadFileBytes("/proc/sys/fs/protected_symlinks") == "1\n")
    {
        GTEST_SKIP() << "fs.protected_symlinks is 1: the kernel refuses set's read through the link before the save";
    }
    WriteFileBytes("root-only.cfg", kEarlierConfigText);
    ASSERT_EQ(chmod("root-only.cfg", 0600), 0);
    const fs::path target = fs::absolute("root-only.cfg");
    // nobody must reach the shared folder.
    ASSERT_EQ(chmod(".", 0755), 0);
    ASSERT_EQ(mkdir("shared", 0755), 0);
    ASSERT_EQ(chmod("shared", 01777), 0);
    const WorkingFolder shared("shared");
    ASSERT_EQ(RunProcess("/bin/ln", {"-s", target.string(), "lan.cfg"}, true).status, 0);
    std::set<fs::path> entries = Entries();
    entries.insert(fs::path(".") / "lan.cfg.lock");

    const ProcessResult result = RunTavrelCtl(kSetAll);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, WriteFailed("a symbolic link another user made in a shared folder"));
    EXPECT_EQ(ReadFileBytes(target), kEarlierConfigText);
    EXPECT_EQ(fs::read_symlink("lan.cfg"), target);
    EXPECT_EQ(Entries(), entries);
}

// Two sets at once, each changing another setting: both changes land, or one set is refused with the
// lock's own status and writes nothing. Never does one silently undo the other.
TEST_F(TavrelCtlProgramTest, ConcurrentSetsLoseNoChange)
{
    ExpectConcurrentSetsLoseNoChange(20, [](const std::vector<std::string>& args) { return RunTavrelCtl(args); });
}

TEST_F(TavrelCtlProgramTest, LongFileOfOneLineLoads)
{
    // Close to the size limit without a line end; the key starts a 199-byte read of its own, found
    // only by reading to the end.
    WriteFileBytes("lan.cfg", std::string(199 * 5'000, 'x') + "MANAGMENT_IP_ADDR=10.1.1.3");
    const ProcessResult show = RunTavrelCtl({"show"});
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(show.out, "control-unit=10.1.1.3\nshelf-management=\nsubnet-mask=\ndefault-router=\n");
}

// 15 TiB that take no disk space: read to its end, it would hold show, and set with its lock, for hours.
TEST_F(TavrelCtlProgramTest, HugeSparseFileIsRefusedUnread)
{
    WriteFileBytes("lan.cfg", "");
    if (::truncate("lan.cfg", off_t{15} << 40) != 0)
    {
        GTEST_SKIP() << "this file system takes no file of 15 TiB: " << std::strerror(errno);
    }
    struct stat before
    {
    };
    ASSERT_EQ(stat("lan.cfg", &before), 0);
    const std::string tooLarge = "tavrelctl: lan.cfg: cannot be read: the file is too large (over 1 MiB)\n";
    for (const std::vector<std::string>& args : {std::vector<std::string>{"show"}, kSetOne})
    {
        SCOPED_TRACE(args[0]);
        const ProcessResult result = RunTavrelCtl(args);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, tooLarge);
    }
    struct stat after
    {
    };
    ASSERT_EQ(stat("lan.cfg", &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
}
} // namespace
