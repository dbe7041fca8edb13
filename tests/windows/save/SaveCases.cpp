#include <windows.h>

#include "config/ConfigFile.h"
#include "files/win32/UniqueHandle.h"
#include "files/win32/WidePath.h"
#include "tests/support/RecordingFeedback.h"
#include "tests/support/SampleConfig.h"
#include "tests/support/SettingsBuilder.h"
#include "tests/support/TempFolder.h"
#include "tests/windows/save/SaveSupport.h"

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

// Saves the sample settings, and expects them in the file at path with nothing else left behind.
void ExpectSaved(const fs::path& path, const std::vector<std::string>& entries)
{
    RecordingFeedback feedback;
    EXPECT_TRUE(SaveConfigFile(SampleSettings(), feedback));
    EXPECT_TRUE(feedback.messages.empty());
    EXPECT_EQ(ReadFileBytes(path), kSampleConfigText);
    EXPECT_EQ(DirectoryEntries(), entries);
}

std::wstring CurrentFolder()
{
    std::wstring folder(32768, L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

// Folders whose names the ANSI code page lacks: both the replacement of a file and a new one.
TEST(Save, WorksInAFolderNamedOutsideTheAnsiCodePage)
{
    for (const wchar_t* name : {L"\u041f\u0440\u0438\u043c\u0435\u0440", L"\u4f8b\u5b50"})
    {
        for (const bool exists : {true, false})
        {
            SCOPED_TRACE(NarrowPath(name) + (exists ? ", replaced" : ", created"));
            const TempFolder folder;
            ASSERT_TRUE(CreateDirectoryW(name, nullptr));
            ASSERT_TRUE(SetCurrentDirectoryW(name));
            if (exists)
            {
                WriteFileBytes(kConfigFileName, kOriginal);
            }
            ExpectSaved(kConfigFileName, {kConfigFileName});
            ASSERT_TRUE(SetCurrentDirectoryW(L".."));
        }
    }
}

// The names in a folder given by its \\?\ path, which std::filesystem does not take apart rightly.
std::vector<std::string> NamesIn(const std::wstring& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    for (BOOL more = search.IsValid(); more; more = FindNextFileW(search.Get(), &found))
    {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
        {
            names.push_back(NarrowPath(name));
        }
    }
    return names;
}

// Final paths around MAX_PATH, where the too-small-buffer answer decides and Wine's final-path
// function gives up: each is saved, none loops (CTest's time limit would end one that did).
TEST(Save, SavesAtEveryFinalPathLengthAroundTheLimit)
{
    const TempFolder folder;
    const std::wstring base = L"\\\\?\\" + CurrentFolder() + L"\\";
    const std::size_t shortest = CurrentFolder().size() + 1 + std::wstring_view(L"\\lan.cfg").size() + 1;
    for (std::size_t length = 259; length <= 268; ++length)
    {
        SCOPED_TRACE("final path of " + std::to_string(length) + " characters");
        ASSERT_GT(length, shortest);
        const std::wstring sub = base + std::wstring(length - shortest + 1, L'd');
        ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr)) << GetLastError();
        const std::wstring file = sub + L"\\lan.cfg";
        ASSERT_EQ(file.size() - 4, length);
        const std::string path = NarrowPath(file);
        WriteFileBytes(fs::path(file), kOriginal);
        RecordingFeedback feedback;
        EXPECT_TRUE(SaveConfigFileAs(path.c_str(), SampleSettings(), feedback));
        EXPECT_EQ(ReadFileBytes(fs::path(file)), kSampleConfigText);
        EXPECT_EQ(NamesIn(sub), std::vector<std::string>{kConfigFileName});
        // Removed here: std::filesystem does not reach so long a path to remove it.
        EXPECT_TRUE(DeleteFileW(file.c_str()));
        EXPECT_TRUE(RemoveDirectoryW(sub.c_str()));
    }
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
        FileHandle held(CreateFileA(kConfigFileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
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
        releasedSoon ? ExpectSaved(kConfigFileName, {kConfigFileName}) : ExpectRefused();
        release.join();
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

// Links to files whose full paths are about 300 and 400 characters long, past what Wine's own
// final-path function answers: the file the link leads to is written and the link stays. Replacing
// the link by a file of its own would leave the target's old bytes.
TEST(Save, WritesThroughALinkToALongPath)
{
    for (const std::string name : {"long300", "long400"})
    {
        SCOPED_TRACE(name);
        const std::optional<WorkingFolder> inside = EnterPrepared(name);
        if (!inside)
        {
            return;
        }
        const std::optional<std::string> relative =
            ReadFileBytes(fs::path(std::getenv("TAVREL_SAVE_FIXTURES")) / (name + ".target"));
        ASSERT_TRUE(relative);
        const fs::path target(L"\\\\?\\" + CurrentFolder() + L"\\" + WidePath(*relative));
        WriteFileBytes(target, kOriginal);
        ExpectSaved(target, {kConfigFileName, "t"});
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

} // namespace
