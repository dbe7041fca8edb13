#include "config/ConfigFile.h"
#include "config/ConfigLineReader.h"
#include "tests/support/RecordingFeedback.h"
#include "tests/support/SampleConfig.h"
#include "tests/support/SettingsBuilder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{

constexpr uid_t kNobody = 65534;

const AddressSettings kExample = SampleSettings();

constexpr std::string_view kExampleText = kSampleConfigText;

constexpr std::string_view kOriginal = kEarlierConfigText;

// Runs body in a forked child, so that privileges and resource limits stay there, and gives its
// exit code. As root the child can become nobody, so that the kernel's permission checks apply.
std::optional<int> RunInChild(bool asNobody, rlim_t fileSizeLimit, const std::function<int()>& body)
{
    const pid_t pid = fork();
    if (pid == 0)
    {
        if (asNobody && geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
        {
            _exit(100);
        }
        // A write past the limit then fails with EFBIG instead of killing the process.
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        if (fileSizeLimit != RLIM_INFINITY &&
            (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &limit) != 0))
        {
            _exit(101);
        }
        _exit(body());
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) >= 100)
    {
        return std::nullopt;
    }
    return WEXITSTATUS(status);
}

struct SaveOutcome
{
    bool saved = false;
    int messages = 0;
};

std::optional<SaveOutcome> SaveInChild(bool asNobody, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    const std::optional<int> code =
        RunInChild(asNobody, fileSizeLimit,
                   []
                   {
                       RecordingFeedback feedback;
                       const bool saved = SaveConfigFile(kExample, feedback);
                       for (const std::string& message : feedback.messages)
                       {
                           if (message != kConfigWriteFailedMessage)
                           {
                               return 102;
                           }
                       }
                       return (saved ? 1 : 0) + 2 * std::min(static_cast<int>(feedback.messages.size()), 7);
                   });
    if (!code)
    {
        return std::nullopt;
    }
    return SaveOutcome{(*code & 1) != 0, *code / 2};
}

// Each test runs in a fresh working directory of its own, since the file name is relative.
class ConfigFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // The unprivileged child must reach the folder.
        ASSERT_EQ(chmod(".", 0755), 0);
    }

    TempFolder m_folder;
};

TEST_F(ConfigFileTest, LoadCreatesAMissingFileEmpty)
{
    AddressSettings settings;
    LoadConfigFile(settings);
    EXPECT_TRUE(settings.m_strControlUnitIp.IsEmpty());
    EXPECT_EQ(ReadFileBytes(kConfigFileName), "");
}

TEST_F(ConfigFileTest, LoadReadsAFileLargerThanItsBuffer)
{
    // The padding is a whole number of 199-byte reads, so the key starts a read of its own.
    const std::string value(180, 'v');
    WriteFileBytes(kConfigFileName, std::string(600'000, '=') + "\r\n" + std::string(199 * 2000, 'y') +
                                        "MANAGMENT_IP_ADDR=" + value + "\r\n");
    AddressSettings settings;
    LoadConfigFile(settings);
    EXPECT_EQ(settings.m_strControlUnitIp.View(), value);
}

// A file already larger than the limit is not read at all: its first line is not applied either.
TEST_F(ConfigFileTest, FileOverTheLimitIsNotRead)
{
    WriteFileBytes(kConfigFileName, "MANAGMENT_IP_ADDR=10.1.1.9\r\n" + std::string(kMaxConfigFileBytes, '#'));
    AddressSettings settings = kExample;
    const ConfigReadResult read = ReadConfigFile(kConfigFileName, settings);
    EXPECT_EQ(read.status, ConfigReadStatus::Unreadable);
    EXPECT_EQ(read.error, FileError::TooLarge);
    EXPECT_EQ(settings.m_strControlUnitIp, "10.1.1.3");
}

TEST_F(ConfigFileTest, LoadLeavesFieldsAloneWhenTheFileIsUnusable)
{
    // A directory in the file's place, and a read-only directory without the file.
    const std::function<void()> setups[] = {[] { fs::create_directory(kConfigFileName); },
                                            [] { ASSERT_EQ(chmod(".", 0555), 0); }};
    for (const auto& setup : setups)
    {
        setup();
        const std::optional<int> code = RunInChild(true, RLIM_INFINITY,
                                                   []
                                                   {
                                                       AddressSettings settings = kExample;
                                                       LoadConfigFile(settings);
                                                       return settings.m_strControlUnitIp == "10.1.1.3" ? 0 : 1;
                                                   });
        EXPECT_EQ(code, 0);
        ASSERT_EQ(chmod(".", 0755), 0);
        fs::remove_all(kConfigFileName);
    }
    EXPECT_TRUE(DirectoryEntries().empty());
}

TEST_F(ConfigFileTest, SaveWritesSevenCrLfLines)
{
    const struct
    {
        const char* name;
        AddressSettings settings;
        std::string_view expected;
    } cases[] = {
        {"example", kExample, kExampleText},
        {"empty fields", AddressSettings{},
         "[GENERAL INFORMATION]\r\nSHELF_MNG_IP_ADDR=\r\nSHELF_MNG_SUBNETMASK=\r\nSHELF_MNG_DEFGATEWAY=\r\n"
         "MANAGMENT_IP_ADDR=\r\nMANAGMENT_SUBNETMASK=\r\nMANAGMENT_DEFGATEWAY=\r\n"},
        {"LF in a value is a text-mode line end", MakeSettings("", "a\nb", "", ""),
         "[GENERAL INFORMATION]\r\nSHELF_MNG_IP_ADDR=a\r\nb\r\nSHELF_MNG_SUBNETMASK=\r\nSHELF_MNG_DEFGATEWAY=\r\n"
         "MANAGMENT_IP_ADDR=\r\nMANAGMENT_SUBNETMASK=\r\nMANAGMENT_DEFGATEWAY=\r\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        RecordingFeedback feedback;
        EXPECT_TRUE(SaveConfigFile(c.settings, feedback));
        EXPECT_EQ(ReadFileBytes(kConfigFileName), c.expected);
        EXPECT_TRUE(feedback.messages.empty());
    }
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{kConfigFileName});
}

TEST_F(ConfigFileTest, SavedCanonicalAddressesLoadBackUnchanged)
{
    const AddressSettings cases[] = {
        kExample,
        MakeSettings("255.255.255.255", "0.0.0.0", "0.0.0.0", "1.2.3.4"),
        MakeSettings("172.16.0.1", "192.168.100.200", "255.255.252.0", "192.168.100.1"),
    };
    for (const AddressSettings& saved : cases)
    {
        RecordingFeedback feedback;
        ASSERT_TRUE(SaveConfigFile(saved, feedback));
        AddressSettings loaded;
        LoadConfigFile(loaded);
        EXPECT_EQ(loaded.m_strShelfMngIp, saved.m_strShelfMngIp);
        EXPECT_EQ(loaded.m_strControlUnitIp, saved.m_strControlUnitIp);
        EXPECT_EQ(loaded.m_strSubnetMask, saved.m_strSubnetMask);
        EXPECT_EQ(loaded.m_strDefaultRouter, saved.m_strDefaultRouter);
    }
}

TEST_F(ConfigFileTest, SaveCreatesAMissingFileWithTheUsualMode)
{
    const mode_t previous = umask(022);
    RecordingFeedback feedback;
    const bool saved = SaveConfigFile(kExample, feedback);
    umask(previous);
    EXPECT_TRUE(saved);
    EXPECT_EQ(ReadFileBytes(kConfigFileName), kExampleText);
    EXPECT_EQ(fs::status(kConfigFileName).permissions(), fs::perms(0644));
}

TEST_F(ConfigFileTest, SaveKeepsModeAndOwnerOfTheReplacedFile)
{
    WriteFileBytes(kConfigFileName, kOriginal);
    ASSERT_EQ(chmod(kConfigFileName, 0620), 0);
    const bool isRoot = geteuid() == 0;
    if (isRoot)
    {
        ASSERT_EQ(chown(kConfigFileName, kNobody, kNobody), 0);
    }
    RecordingFeedback feedback;
    EXPECT_TRUE(SaveConfigFile(kExample, feedback));
    EXPECT_EQ(ReadFileBytes(kConfigFileName), kExampleText);
    struct stat after
    {
    };
    ASSERT_EQ(stat(kConfigFileName, &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0620U);
    if (isRoot)
    {
        EXPECT_EQ(after.st_uid, kNobody);
    }
}

TEST_F(ConfigFileTest, SaveThroughASymbolicLinkKeepsTheLink)
{
    WriteFileBytes("target.cfg", kOriginal);
    fs::create_symlink("target.cfg", kConfigFileName);
    RecordingFeedback feedback;
    EXPECT_TRUE(SaveConfigFile(kExample, feedback));
    EXPECT_TRUE(fs::is_symlink(kConfigFileName));
    EXPECT_EQ(ReadFileBytes("target.cfg"), kExampleText);
    EXPECT_EQ(DirectoryEntries(), (std::vector<std::string>{kConfigFileName, "target.cfg"}));
}

// Without room for a temporary file the existing file is written in place.
TEST_F(ConfigFileTest, SaveInAReadOnlyDirectoryWritesAWritableFileInPlace)
{
    // Longer than the new text, so that a missing truncation would show.
    const std::string original = std::string(kOriginal) + std::string(500, '#');
    WriteFileBytes(kConfigFileName, original);
    ASSERT_EQ(chmod(kConfigFileName, 0666), 0);
    ASSERT_EQ(chmod(".", 0555), 0);
    const std::optional<SaveOutcome> outcome = SaveInChild(true);
    ASSERT_TRUE(outcome.has_value());
    EXPECT_TRUE(outcome->saved);
    EXPECT_EQ(outcome->messages, 0);
    EXPECT_EQ(ReadFileBytes(kConfigFileName), kExampleText);
}

// Reading one would block (a FIFO) or never end (a device); a dangling link would be followed.
TEST_F(ConfigFileTest, NameThatIsNoPlainFileIsNeitherReadNorCreatedNorWritten)
{
    const struct
    {
        const char* name;
        std::function<void()> setup;
        ConfigReadStatus status;
    } cases[] = {
        {"FIFO", [] { ASSERT_EQ(mkfifo(kConfigFileName, 0666), 0); }, ConfigReadStatus::NotRegular},
        {"link to a device", [] { fs::create_symlink("/dev/zero", kConfigFileName); }, ConfigReadStatus::NotRegular},
        {"dangling link", [] { fs::create_symlink("missing.cfg", kConfigFileName); }, ConfigReadStatus::Missing},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        c.setup();
        const fs::file_type type = fs::symlink_status(kConfigFileName).type();
        const std::vector<std::string> entriesBefore = DirectoryEntries();

        AddressSettings settings = kExample;
        LoadConfigFile(settings);
        EXPECT_EQ(ReadConfigFile(kConfigFileName, settings).status, c.status);
        EXPECT_EQ(settings.m_strControlUnitIp, "10.1.1.3");
        RecordingFeedback feedback;
        EXPECT_FALSE(SaveConfigFile(kExample, feedback));
        EXPECT_EQ(feedback.messages, std::vector<std::string>{kConfigWriteFailedMessage});
        EXPECT_EQ(fs::symlink_status(kConfigFileName).type(), type);
        EXPECT_EQ(DirectoryEntries(), entriesBefore);
        fs::remove(kConfigFileName);
    }
}

struct FailureCase
{
    const char* name;
    // Prepares the directory; lan.cfg, when it is a file, holds kOriginal.
    std::function<void()> setup;
    bool asNobody;
    rlim_t fileSizeLimit;
};

TEST_F(ConfigFileTest, FailedSaveTellsOnceAndLeavesTheFileAsItWas)
{
    const auto existing = [](mode_t mode)
    {
        return [mode]
        {
            WriteFileBytes(kConfigFileName, kOriginal);
            ASSERT_EQ(chmod(kConfigFileName, mode), 0);
        };
    };
    const auto readOnlyDirectory = [](const std::function<void()>& inside)
    {
        return [inside]
        {
            inside();
            ASSERT_EQ(chmod(".", 0555), 0);
        };
    };
    const FailureCase cases[] = {
        // Refused by our own check: root is not stopped by the kernel.
        {"read-only file", existing(0444), false, RLIM_INFINITY},
        {"read-only file, unprivileged", existing(0444), true, RLIM_INFINITY},
        // The directory would allow a rename over it, but the file is not ours to write.
        {"file of another user", existing(0644), true, RLIM_INFINITY},
        {"directory in the file's place", [] { fs::create_directory(kConfigFileName); }, false, RLIM_INFINITY},
        {"read-only directory without the file", readOnlyDirectory([] {}), true, RLIM_INFINITY},
        {"write fails midway", existing(0644), false, 100},
        {"write in place fails midway", readOnlyDirectory(existing(0666)), true, 100},
        {"write creating the file fails midway", [] {}, false, 100},
    };
    for (const FailureCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(chmod(".", 0777), 0);
        c.setup();
        const std::optional<std::string> before = ReadFileBytes(kConfigFileName);
        const std::vector<std::string> entriesBefore = DirectoryEntries();

        const std::optional<SaveOutcome> outcome = SaveInChild(c.asNobody, c.fileSizeLimit);
        ASSERT_TRUE(outcome.has_value());
        EXPECT_FALSE(outcome->saved);
        EXPECT_EQ(outcome->messages, 1);
        EXPECT_EQ(ReadFileBytes(kConfigFileName), before);
        EXPECT_EQ(DirectoryEntries(), entriesBefore);

        ASSERT_EQ(chmod(".", 0755), 0);
        fs::remove_all(kConfigFileName);
    }
}

} // namespace
