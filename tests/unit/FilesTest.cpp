// The file layer called directly: how a save arrives, what it keeps and why it fails.
#include "files/ReplaceFileContents.h"
#include "files/WindowsDeviceName.h"
#include "files/Wtf8.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
constexpr std::string_view kOld = "old bytes\r\n";
constexpr std::string_view kNew = "new bytes, longer than the old ones\r\n";

struct stat StatOf(const std::string& path)
{
    struct stat status
    {
    };
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status;
}

// Runs body in a forked child, so that identities and limits stay there; its exit code, or nothing.
std::optional<int> InChild(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
    {
        ::_exit(body());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
    {
        return std::nullopt;
    }
    return WEXITSTATUS(status);
}

// A POSIX access list as the kernel stores it in system.posix_acl_*.
std::string AclBytes(const std::vector<std::array<std::uint32_t, 3>>& entries)
{
    std::string bytes;
    const auto put = [&bytes](std::uint32_t value, int size)
    {
        for (int i = 0; i < size; ++i)
        {
            bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    put(2, 4);
    for (const auto& [tag, perm, id] : entries)
    {
        put(tag, 2);
        put(perm, 2);
        put(id, 4);
    }
    return bytes;
}

constexpr std::uint32_t kUserObj = 0x01, kUser = 0x02, kGroupObj = 0x04, kMask = 0x10, kOther = 0x20;
constexpr std::uint32_t kNoId = 0xFFFFFFFF, kNobody = 65534;

std::optional<std::string> Attribute(const std::string& path, const char* name)
{
    char value[512];
    const ssize_t size = ::getxattr(path.c_str(), name, value, sizeof value);
    return size < 0 ? std::nullopt : std::optional<std::string>(std::string(value, static_cast<std::size_t>(size)));
}

class FilesTest : public testing::Test
{
protected:
    TempFolder m_folder;
};

// Each way a save arrives: the name leads to the new bytes whole, nothing of ours is left beside it,
// and only a folder that takes no new file is written in place (the same inode).
TEST_F(FilesTest, SaveArrivesByOneRenameUnlessTheFolderTakesNoNewFile)
{
    const struct
    {
        const char* name;
        std::string file;
        bool exists;
        bool readOnlyFolder;
        bool sameInode;
    } cases[] = {
        {"existing file", "lan.cfg", true, false, false},
        {"new file", "lan.cfg", false, false, false},
        {"file name of the system's longest", std::string(255, 'n'), true, false, false},
        {"read-only folder", "lan.cfg", true, true, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const TempFolder folder;
        if (c.exists)
        {
            WriteFileBytes(c.file, kOld);
        }
        const ino_t before = c.exists ? StatOf(c.file).st_ino : 0;
        // The user's own file in a folder that is not: as root, nobody's file saved as nobody.
        if (c.readOnlyFolder && ::geteuid() == 0)
        {
            ASSERT_EQ(::chown(c.file.c_str(), kNobody, kNobody), 0);
        }
        if (c.readOnlyFolder)
        {
            ASSERT_EQ(::chmod(".", 0555), 0);
        }
        // Root passes the folder's permission check; the kernel refuses an unprivileged child.
        const std::optional<int> result = InChild(
            [&]
            {
                if (c.readOnlyFolder && ::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
                {
                    return 100;
                }
                return static_cast<int>(ReplaceFileContents(c.file.c_str(), kNew));
            });
        ::chmod(".", 0755);
        EXPECT_EQ(result, static_cast<int>(FileError::None));
        EXPECT_EQ(ReadFileBytes(c.file), kNew);
        EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{c.file});
        if (c.exists)
        {
            EXPECT_EQ(StatOf(c.file).st_ino == before, c.sameInode);
        }
    }
}

// Failures that a folder taking new files does not excuse: told, never written in place, nothing
// left behind.
TEST_F(FilesTest, FailureIsToldAndLeavesEverythingAsItWas)
{
    const struct
    {
        const char* name;
        std::string file;
        std::function<void()> setup;
        rlim_t openFiles;
        FileError error;
    } cases[] = {
        {"name too long", std::string(256, 'n'), [] {}, RLIM_INFINITY, FileError::NameTooLong},
        {"missing folder", "missing/lan.cfg", [] {}, RLIM_INFINITY, FileError::MissingFolder},
        {"dangling link", "lan.cfg", [] { fs::create_symlink("missing.cfg", "lan.cfg"); }, RLIM_INFINITY,
         FileError::DanglingLink},
        // Room for the folder's and the old file's descriptors only.
        {"descriptor limit", "lan.cfg", [] { WriteFileBytes("lan.cfg", kOld); }, 2, FileError::TooManyOpenFiles},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const TempFolder folder;
        c.setup();
        const std::vector<std::string> entries = DirectoryEntries();
        const std::optional<std::string> bytes = ReadFileBytes("lan.cfg");
        const std::optional<int> result = InChild(
            [&]
            {
                if (c.openFiles != RLIM_INFINITY)
                {
                    const int lowest = ::dup(0);
                    ::close(lowest);
                    const rlimit limit{static_cast<rlim_t>(lowest) + c.openFiles,
                                       static_cast<rlim_t>(lowest) + c.openFiles};
                    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0)
                    {
                        return 100;
                    }
                }
                return static_cast<int>(ReplaceFileContents(c.file.c_str(), kNew));
            });
        EXPECT_EQ(result, static_cast<int>(c.error));
        EXPECT_EQ(DirectoryEntries(), entries);
        EXPECT_EQ(ReadFileBytes("lan.cfg"), bytes);
    }
}

// A user may write the file through its access list, whose mask keeps the group from writing: the
// new file carries the same list and mode, not the mask's bits as group bits.
TEST_F(FilesTest, AccessListIsKept)
{
    WriteFileBytes("lan.cfg", kOld);
    ASSERT_EQ(::chmod("lan.cfg", 0640), 0);
    const std::string acl = AclBytes(
        {{kUserObj, 6, kNoId}, {kUser, 6, kNobody}, {kGroupObj, 4, kNoId}, {kMask, 6, kNoId}, {kOther, 0, kNoId}});
    if (::setxattr("lan.cfg", "system.posix_acl_access", acl.data(), acl.size(), 0) != 0)
    {
        GTEST_SKIP() << "this file system keeps no access lists: " << std::strerror(errno);
    }
    const mode_t mode = StatOf("lan.cfg").st_mode;
    const std::optional<std::string> stored = Attribute("lan.cfg", "system.posix_acl_access");
    ASSERT_EQ(ReplaceFileContents("lan.cfg", kNew), FileError::None);
    EXPECT_EQ(ReadFileBytes("lan.cfg"), kNew);
    EXPECT_EQ(Attribute("lan.cfg", "system.posix_acl_access"), stored);
    EXPECT_EQ(StatOf("lan.cfg").st_mode, mode);
}

// A new file takes the folder's default access list; the replacement of a file that has none must not.
TEST_F(FilesTest, FolderDefaultAccessListDoesNotWidenTheFile)
{
    WriteFileBytes("lan.cfg", kOld);
    ASSERT_EQ(::chmod("lan.cfg", 0600), 0);
    const std::string acl = AclBytes(
        {{kUserObj, 7, kNoId}, {kUser, 7, kNobody}, {kGroupObj, 5, kNoId}, {kMask, 7, kNoId}, {kOther, 5, kNoId}});
    if (::setxattr(".", "system.posix_acl_default", acl.data(), acl.size(), 0) != 0)
    {
        GTEST_SKIP() << "this file system keeps no access lists: " << std::strerror(errno);
    }
    ASSERT_EQ(ReplaceFileContents("lan.cfg", kNew), FileError::None);
    EXPECT_EQ(ReadFileBytes("lan.cfg"), kNew);
    EXPECT_EQ(Attribute("lan.cfg", "system.posix_acl_access"), std::nullopt);
    EXPECT_EQ(StatOf("lan.cfg").st_mode & 07777, 0600U);
}

// User A's group-writable file saved by user B of the same group stays A's, in A's group, with its
// mode: a new file would be B's, so it is written in place.
TEST_F(FilesTest, GroupSharedFileSavedByAnotherMemberKeepsOwnerGroupAndMode)
{
    if (::geteuid() != 0)
    {
        GTEST_SKIP() << "needs two users: only root can act as them";
    }
    constexpr uid_t kUserA = 61001, kUserB = 61002;
    constexpr gid_t kShared = 61000;
    ASSERT_EQ(::chmod(".", 0777), 0);
    WriteFileBytes("lan.cfg", kOld);
    ASSERT_EQ(::chown("lan.cfg", kUserA, kShared), 0);
    ASSERT_EQ(::chmod("lan.cfg", 0664), 0);
    const std::optional<int> result = InChild(
        [&]
        {
            const gid_t groups[] = {kShared};
            if (::setgroups(1, groups) != 0 || ::setgid(kUserB) != 0 || ::setuid(kUserB) != 0)
            {
                return 100;
            }
            return static_cast<int>(ReplaceFileContents("lan.cfg", kNew));
        });
    EXPECT_EQ(result, static_cast<int>(FileError::None));
    EXPECT_EQ(ReadFileBytes("lan.cfg"), kNew);
    const struct stat after = StatOf("lan.cfg");
    EXPECT_EQ(after.st_uid, kUserA);
    EXPECT_EQ(after.st_gid, kShared);
    EXPECT_EQ(after.st_mode & 07777, 0664U);
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"lan.cfg"});
}

// Windows names pass through 8-bit strings as WTF-8 and come back exactly, lone surrogates too.
TEST(Wtf8, NamesRoundTrip)
{
    const struct
    {
        std::u16string name;
        std::string wtf8;
    } cases[] = {
        {u"lan.cfg", "lan.cfg"},
        {u"\u041f\u0440\u0438\u043c\u0435\u0440", "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xbc\xd0\xb5\xd1\x80"},
        {u"\u4f8b\u5b50", "\xe4\xbe\x8b\xe5\xad\x90"},
        {u"\U0001F600", "\xf0\x9f\x98\x80"},
        {std::u16string(1, u'\xD800') + u"x", "\xed\xa0\x80x"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(Utf16ToWtf8(c.name), c.wtf8);
        EXPECT_EQ(Wtf8ToUtf16(c.wtf8), c.name);
    }
    EXPECT_EQ(Wtf8ToUtf16("\xc0\xafx"), u"\uFFFD\uFFFDx");
}

// The names Windows opens as devices, however they are spelled, and names that only look like them.
TEST(WindowsDeviceName, DevicesAndLookAlikes)
{
    for (const char* device : {"COM1", "nul", "Con", "AUX.cfg", "lpt9.lan.cfg", "PRN ", "NUL.", "nul .txt", "COM0",
                               "COM1:", "units\\7\\COM3", "units/7/aux", "C:NUL", "conout$", "COM\xC2\xB9"})
    {
        EXPECT_TRUE(IsWindowsDeviceName(device)) << device;
    }
    for (const char* file :
         {"lan.cfg", "COM10", "CONSOLE", "LPT", "com1x", " NUL", "NUL\\lan.cfg", "units/nul/a", "COM\xC2\xB4", ""})
    {
        EXPECT_FALSE(IsWindowsDeviceName(file)) << file;
    }
}
} // namespace
