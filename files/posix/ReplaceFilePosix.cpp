#include "files/ReplaceFileContents.h"
#include "files/posix/CopyAccess.h"
#include "files/posix/Descriptor.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Writes bytes as the file's whole content, from its start, and makes it durable.
bool OverwriteAll(int fd, std::string_view bytes)
{
    return ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes) &&
           ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

bool ReadAll(int fd, std::string& bytes)
{
    char chunk[64 * 1024];
    for (;;)
    {
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
        {
            continue;
        }
        if (count <= 0)
        {
            return count == 0;
        }
        bytes.append(chunk, static_cast<std::size_t>(count));
    }
}

std::string DirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
    {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable; a file system that cannot sync a directory loses nothing here.
void SyncDirectoryOf(const std::string& path)
{
    const FileDescriptor dir(::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.IsOpen())
    {
        ::fsync(dir.Get());
    }
}

// The folder takes no new file: the only errors that let the save go on in place.
bool FolderTakesNoNewFile(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

constexpr unsigned kTempNameAttempts = 100;

// A short name of our own beside the file, so that a file name near the system's limit still
// leaves room for it.
std::string TempNameFor(const std::string& path, unsigned number)
{
    char name[32];
    std::snprintf(name, sizeof name, ".~tvl%08x.tmp", number);
    const std::string folder = DirectoryOf(path);
    return (folder == "/" ? "" : folder) + "/" + name;
}

// Creates the temporary file; on failure errno tells why.
FileDescriptor CreateTemporary(const std::string& path, std::string& tempPath)
{
    const unsigned first = static_cast<unsigned>(::getpid()) * 2654435761U ^ static_cast<unsigned>(std::rand());
    for (unsigned attempt = 0; attempt < kTempNameAttempts; ++attempt)
    {
        tempPath = TempNameFor(path, first + attempt);
        // 0666 under the umask gives a new file the mode any new file of the user gets.
        FileDescriptor file(::open(tempPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (file.IsOpen() || errno != EEXIST)
        {
            return file;
        }
    }
    errno = EEXIST;
    return FileDescriptor();
}

// The fallback: the original bytes are kept in memory and put back if the new ones cannot all be
// written. A file we cannot read back is not risked.
FileError OverwriteInPlace(const std::string& path, std::string_view text)
{
    FileDescriptor file(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    std::string original;
    if (!file.IsOpen() || !ReadAll(file.Get(), original))
    {
        return FileErrorFromErrno(errno);
    }
    if (OverwriteAll(file.Get(), text))
    {
        return file.Close() ? FileError::None : FileErrorFromErrno(errno);
    }
    const int error = errno;
    OverwriteAll(file.Get(), original);
    return FileErrorFromErrno(error);
}

// Gives the new name to the temporary file without ever replacing what another has put there
// meanwhile (a file, or a dangling link, which a plain rename would replace).
int RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS)
    {
        return errno;
    }
    // The file system cannot rename so: a hard link is just as atomic and never replaces.
    if (::link(from.c_str(), to.c_str()) != 0)
    {
        return errno;
    }
    ::unlink(from.c_str());
    return 0;
}

// Follows a symbolic link, so that the file it names is replaced and the link stays.
FileError ResolveLink(std::string& path)
{
    struct stat linkStat
    {
    };
    if (::lstat(path.c_str(), &linkStat) != 0)
    {
        return errno == ENOENT ? FileError::None : FileErrorFromErrno(errno);
    }
    if (!S_ISLNK(linkStat.st_mode))
    {
        return FileError::None;
    }
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved)
    {
        return errno == ENOENT ? FileError::DanglingLink : FileErrorFromErrno(errno);
    }
    path = resolved.get();
    return FileError::None;
}

// Looks at the file that is there, if any. Read-only means no write bit for anyone, also for root,
// whom the kernel would let through.
FileError CheckExisting(const FileDescriptor& file, struct stat& existing)
{
    if (::fstat(file.Get(), &existing) != 0)
    {
        return FileErrorFromErrno(errno);
    }
    if (!S_ISREG(existing.st_mode))
    {
        return FileError::NotRegularFile;
    }
    return (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ? FileError::ReadOnlyFile : FileError::None;
}

FileError WriteAndRename(const std::string& path, std::string_view text, const FileDescriptor* old,
                         const struct stat& existing)
{
    std::string tempPath;
    FileDescriptor temp = CreateTemporary(path, tempPath);
    if (!temp.IsOpen())
    {
        const int error = errno;
        return old != nullptr && FolderTakesNoNewFile(error) ? OverwriteInPlace(path, text) : FileErrorFromErrno(error);
    }
    const bool kept = old == nullptr || CopyAccess(old->Get(), existing, temp.Get());
    int error = errno;
    const bool written = kept && WriteAll(temp.Get(), text) && ::fsync(temp.Get()) == 0;
    error = written ? 0 : errno;
    if (!temp.Close() && written)
    {
        error = errno;
    }
    if (error == 0)
    {
        error = old != nullptr ? (::rename(tempPath.c_str(), path.c_str()) == 0 ? 0 : errno)
                               : RenameNoReplace(tempPath, path);
    }
    if (error == 0)
    {
        SyncDirectoryOf(path);
        return FileError::None;
    }
    ::unlink(tempPath.c_str());
    // Access that cannot be kept on a new file is kept by writing the old one, as editors do.
    return !kept ? OverwriteInPlace(path, text) : FileErrorFromErrno(error);
}
FileError ReplaceOnce(const char* target, std::string_view text)
{
    std::string path(target);
    if (const FileError error = ResolveLink(path); error != FileError::None)
    {
        return error;
    }
    const FileDescriptor old(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat existing
    {
    };
    if (!old.IsOpen())
    {
        if (errno != ENOENT)
        {
            return FileErrorFromErrno(errno);
        }
        // The folder itself must be there for a new file.
        return ::access(DirectoryOf(path).c_str(), F_OK) != 0 ? FileErrorFromErrno(errno)
                                                              : WriteAndRename(path, text, nullptr, existing);
    }
    if (const FileError error = CheckExisting(old, existing); error != FileError::None)
    {
        return error;
    }
    // A rename over the file needs rights on the folder only; the file must be ours to write.
    if (::access(path.c_str(), W_OK) != 0)
    {
        return FileErrorFromErrno(errno);
    }
    if (!CanKeepOwnership(existing))
    {
        return OverwriteInPlace(path, text);
    }
    return WriteAndRename(path, text, &old, existing);
}
} // namespace

FileError ReplaceFileContents(const char* path, std::string_view text)
{
    // Another save created the file meanwhile: ours replaces it, as it would have replaced ours. A
    // name still taken by no file (a dangling link) stays refused.
    const FileError error = ReplaceOnce(path, text);
    return error == FileError::NameTaken ? ReplaceOnce(path, text) : error;
}
