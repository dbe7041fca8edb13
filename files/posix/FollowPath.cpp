#include "files/posix/FollowPath.h"

#include "files/posix/FileErrorFromErrno.h"

#include <cerrno>
#include <climits>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// As many links as the system follows in one path before it gives up (MAXSYMLINKS).
constexpr int kMostLinks = 40;

// Puts path's names on a stack, its first name on top. A path that ends in a slash names a folder,
// which "." then stands for as its last name.
void PushNames(std::string_view path, std::vector<std::string>& names)
{
    if (!path.empty() && path.back() == '/')
    {
        names.emplace_back(".");
    }
    while (!path.empty())
    {
        const std::size_t slash = path.rfind('/');
        const std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
        if (start < path.size())
        {
            names.emplace_back(path.substr(start));
        }
        path = path.substr(0, slash == std::string_view::npos ? 0 : slash);
    }
}

// Where path starts: the root folder or the working folder, open only to look names up in.
FileHandle OpenStart(std::string_view path)
{
    return FileHandle(::open(!path.empty() && path.front() == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
}

// The system's rule: in a sticky folder that everyone may write, only a link of the caller's (its
// effective user) or of the folder's owner is followed.
bool MayFollow(const struct stat& folder, const struct stat& link)
{
    const bool shared = (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == folder.st_uid;
}

// Where the link open at link (O_PATH) in folder leads, where the rule lets it be followed. Read from
// the very link that was looked at, not from whatever has its name by now.
FileError ReadLinkToFollow(const FileHandle& folder, const FileHandle& link, const struct stat& linkStatus,
                           std::string& target)
{
    struct stat folderStatus
    {
    };
    if (::fstat(folder.Get(), &folderStatus) != 0)
    {
        return FileErrorFromErrno(errno);
    }
    if (!MayFollow(folderStatus, linkStatus))
    {
        return FileError::LinkInSharedFolder;
    }
    char buffer[PATH_MAX];
    const ssize_t size = ::readlinkat(link.Get(), "", buffer, sizeof buffer);
    if (size < 0)
    {
        return FileErrorFromErrno(errno);
    }
    if (static_cast<std::size_t>(size) == sizeof buffer)
    {
        return FileError::NameTooLong;
    }
    target.assign(buffer, static_cast<std::size_t>(size));
    return FileError::None;
}
} // namespace

FileError FollowPath(const char* path, FilePlace& place, FileHandle& file)
{
    std::vector<std::string> names;
    PushNames(path, names);
    if (names.empty())
    {
        return FileError::MissingFolder;
    }
    FileHandle start = OpenStart(path);
    if (!start.IsValid())
    {
        return FileErrorFromErrno(errno);
    }
    place.folder = std::move(start);
    // Whether a link led to the last name, which then must lead to a file.
    bool linked = false;
    for (int links = 0;;)
    {
        std::string name = std::move(names.back());
        names.pop_back();
        const bool last = names.empty();
        if (last)
        {
            // Non-blocking: a FIFO in the file's place must not hold the save up.
            FileHandle opened(
                ::openat(place.folder.Get(), name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC));
            if (opened.IsValid() || errno == ENOENT)
            {
                place.name = std::move(name);
                file = std::move(opened);
                return file.IsValid() || !linked ? FileError::None : FileError::DanglingLink;
            }
            // O_NOFOLLOW refuses a link so: it is looked at below.
            if (errno != ELOOP)
            {
                return FileErrorFromErrno(errno);
            }
        }
        FileHandle entry(::openat(place.folder.Get(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat status
        {
        };
        if (!entry.IsValid() || ::fstat(entry.Get(), &status) != 0)
        {
            return FileErrorFromErrno(errno);
        }
        if (!last && S_ISDIR(status.st_mode))
        {
            place.folder = std::move(entry);
            continue;
        }
        if (++links > kMostLinks)
        {
            return FileErrorFromErrno(ELOOP);
        }
        if (!S_ISLNK(status.st_mode))
        {
            if (!last)
            {
                return FileErrorFromErrno(ENOTDIR);
            }
            // The link was replaced meanwhile: the name is looked at again.
            names.push_back(std::move(name));
            continue;
        }
        std::string target;
        if (const FileError error = ReadLinkToFollow(place.folder, entry, status, target); error != FileError::None)
        {
            return error;
        }
        if (target.empty())
        {
            return last ? FileError::DanglingLink : FileError::MissingFolder;
        }
        if (target.front() == '/')
        {
            FileHandle root = OpenStart(target);
            if (!root.IsValid())
            {
                return FileErrorFromErrno(errno);
            }
            place.folder = std::move(root);
        }
        PushNames(target, names);
        linked = linked || last;
    }
}
