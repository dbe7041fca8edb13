#include <windows.h>

#include "config/ConfigFile.h"
#include "tests/support/RecordingFeedback.h"
#include "tests/support/SampleConfig.h"
#include "tests/support/SettingsBuilder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace
{

constexpr std::string_view kOriginal = kEarlierConfigText;

// Enters a folder that prepare.sh made outside Wine; where it could not, the case is skipped with
// the reason and nothing is returned.
std::optional<WorkingFolder> EnterPrepared(const std::string& name)
{
    const char* root = std::getenv("TAVREL_SAVE_FIXTURES");
    if (root != nullptr && fs::is_directory(fs::path(root) / name))
    {
        return std::optional<WorkingFolder>(std::in_place, fs::path(root) / name);
    }
    const std::string why = root == nullptr ? "TAVREL_SAVE_FIXTURES is not set: run through CTest"
                                            : ReadFileBytes(fs::path(root) / (name + ".why")).value_or("not prepared");
    [&] { GTEST_SKIP() << why; }();
    return std::nullopt;
}

// Saves, and expects the refusal told once with lan.cfg and its folder exactly as they were.
void ExpectRefused(const AddressSettings& settings = SampleSettings())
{
    const std::optional<std::string> bytes = ReadFileBytes(kConfigFileName);
    const std::vector<std::string> entries = DirectoryEntries();
    RecordingFeedback feedback;
    EXPECT_FALSE(SaveConfigFile(settings, feedback));
    EXPECT_EQ(feedback.messages, std::vector<std::string>{kConfigWriteFailedMessage});
    EXPECT_EQ(ReadFileBytes(kConfigFileName), bytes);
    EXPECT_EQ(DirectoryEntries(), entries);
}

// Saves the sample settings, and expects them in the file at path with nothing else left behind.
void ExpectSaved(const fs::path& path, const std::vector<std::string>& entries)
{
    RecordingFeedback feedback;
    EXPECT_TRUE(SaveConfigFile(SampleSettings(), feedback));
    EXPECT_TRUE(feedback.messages.empty());
    EXPECT_EQ(ReadFileBytes(path), kSampleConfigText);
    EXPECT_EQ(DirectoryEntries(), entries);
}

TEST(Save, KeepsHiddenAndSystemAttributes)
{
    const TempFolder folder;
    WriteFileBytes(kConfigFileName, kOriginal);
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(SetFileAttributesA(kConfigFileName, kept));
    ExpectSaved(kConfigFileName, {kConfigFileName});
    EXPECT_EQ(GetFileAttributesA(kConfigFileName) & kept, kept);
}

// Another program holds lan.cfg open without sharing: a moment is waited out, longer is refused.
TEST(Save, WaitsForAFileHeldWithoutSharingOnlyAMoment)
{
    for (const bool releasedSoon : {true, false})
    {
        SCOPED_TRACE(releasedSoon ? "held for a moment" : "held throughout");
        const TempFolder folder;
        WriteFileBytes(kConfigFileName, kOriginal);
        const HANDLE held = CreateFileA(kConfigFileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        std::thread release(
            [held, releasedSoon]
            {
                if (releasedSoon)
                {
                    std::this_thread::sleep_for(std::chrono::milliseconds(200));
                    CloseHandle(held);
                }
            });
        releasedSoon ? ExpectSaved(kConfigFileName, {kConfigFileName}) : ExpectRefused();
        release.join();
        if (!releasedSoon)
        {
            CloseHandle(held);
        }
    }
}

TEST(Save, WritesThroughASymbolicLink)
{
    const std::optional<WorkingFolder> inside = EnterPrepared("link");
    if (inside)
    {
        WriteFileBytes("target.cfg", kOriginal);
        // Had the link been replaced, the target would still hold the old text.
        ExpectSaved("target.cfg", {kConfigFileName, "target.cfg"});
    }
}

// Reading one would block (a FIFO) or never end (a device); a dangling link would be followed.
TEST(Save, NameThatIsNoPlainFileIsNeitherReadNorCreatedNorWritten)
{
    const std::pair<const char*, ConfigReadStatus> cases[] = {{"fifo", ConfigReadStatus::NotRegular},
                                                              {"device", ConfigReadStatus::NotRegular},
                                                              {"dangling", ConfigReadStatus::Missing}};
    for (const auto& [name, status] : cases)
    {
        SCOPED_TRACE(name);
        const std::optional<WorkingFolder> inside = EnterPrepared(name);
        if (!inside)
        {
            return;
        }
        const std::vector<std::string> entries = DirectoryEntries();
        AddressSettings settings = SampleSettings();
        LoadConfigFile(settings);
        EXPECT_EQ(ReadConfigFile(kConfigFileName, settings).status, status);
        EXPECT_EQ(settings.m_strControlUnitIp, "10.1.1.3");
        EXPECT_EQ(DirectoryEntries(), entries);
        ExpectRefused();
    }
}

// A small disk of its own (a tmpfs), full: the temporary file cannot be written. With no inode left
// either, the file is written in place, the new text needs one block more than the old one fills,
// and the old bytes must go back.
TEST(Save, FullDiskRefusesAndKeepsTheFile)
{
    const std::optional<WorkingFolder> inside = EnterPrepared("small");
    if (!inside)
    {
        return;
    }
    const std::string block = std::string(kOriginal) + std::string(4096 - kOriginal.size(), '#');
    for (const bool inPlace : {false, true})
    {
        SCOPED_TRACE(inPlace ? "in place" : "temporary file");
        for (const std::string& name : DirectoryEntries())
        {
            fs::remove(name);
        }
        WriteFileBytes(kConfigFileName, inPlace ? block : std::string(kOriginal));
        {
            std::ofstream filler("filler", std::ios::binary);
            for (int n = 0; n < 64 && filler.write(block.data(), 4096).flush(); ++n)
            {
            }
        }
        for (int n = 0; inPlace && n < 64 && std::ofstream("inode" + std::to_string(n)); ++n)
        {
        }
        if (inPlace)
        {
            ASSERT_FALSE(std::ofstream("no room"));
        }
        ExpectRefused(inPlace ? MakeSettings(std::string(5000, '1').c_str(), "", "", "") : SampleSettings());
    }
}

// Root's files of mode 644, saved as the user nobody (run-case.sh): in the first folder a rename over
// lan.cfg would be allowed, into the second nothing can be written.
TEST(Unprivileged, FileWeMayNotWriteIsRefused)
{
    for (const char* name : {"nobody-writable", "nobody-readonly"})
    {
        SCOPED_TRACE(name);
        const std::optional<WorkingFolder> inside = EnterPrepared(name);
        if (!inside)
        {
            return;
        }
        if (std::getenv("TAVREL_AS_NOBODY") == nullptr)
        {
            GTEST_SKIP() << "runs only as the user nobody, as run-case.sh starts it";
        }
        ASSERT_EQ(ReadFileBytes(kConfigFileName), kOriginal);
        ExpectRefused();
    }
}

} // namespace
