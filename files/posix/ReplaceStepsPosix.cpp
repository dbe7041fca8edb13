#include "files/ReplaceSteps.h"
#include "files/WriteAll.h"
#include "files/posix/CopyAccess.h"
#include "files/posix/FileErrorFromErrno.h"

#include <cerrno>
#include <cstdlib>
#include <memory>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
FilePlace PlaceOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
    {
        return {".", path};
    }
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string PathIn(const std::string& folder, const std::string& name)
{
    return (folder == "/" ? "" : folder) + "/" + name;
}

std::string PathOf(const FilePlace& place)
{
    return PathIn(place.folder, place.name);
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

// Read-only means no write bit for anyone, also for root, whom the kernel would let through.
FileError CheckExisting(const FileHandle& file)
{
    struct stat status
    {
    };
    if (::fstat(file.Get(), &status) != 0)
    {
        return FileErrorFromErrno(errno);
    }
    if (!S_ISREG(status.st_mode))
    {
        return FileError::NotRegularFile;
    }
    return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ? FileError::ReadOnlyFile : FileError::None;
}

// None where a call succeeded, otherwise why the system says it failed.
FileError ErrorUnless(bool done)
{
    return done ? FileError::None : FileErrorFromErrno(errno);
}
} // namespace

FileError FindExisting(const char* path, ExistingFile& existing)
{
    std::string resolved(path);
    if (const FileError error = ResolveLink(resolved); error != FileError::None)
    {
        return error;
    }
    existing.place = PlaceOf(resolved);
    // Non-blocking: a FIFO put in the file's place must not hold the save up.
    FileHandle file(::open(resolved.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.IsValid())
    {
        if (errno != ENOENT)
        {
            return FileErrorFromErrno(errno);
        }
        // The folder itself must be there for a new file.
        return ErrorUnless(::access(existing.place.folder.c_str(), F_OK) == 0);
    }
    if (const FileError error = CheckExisting(file); error != FileError::None)
    {
        return error;
    }
    // A rename over the file needs rights on the folder only; the file must be ours to write.
    if (::access(resolved.c_str(), W_OK) != 0)
    {
        return FileErrorFromErrno(errno);
    }
    existing.handle = std::move(file);
    return FileError::None;
}

bool NewFileCanKeepOwner(const ExistingFile& existing)
{
    struct stat status
    {
    };
    return ::fstat(existing.handle.Get(), &status) == 0 && CanKeepOwnership(status);
}

FileError RandomBytes(unsigned char* bytes, std::size_t count)
{
    // The kernel's generator, which waits only until it is first seeded at boot.
    while (count > 0)
    {
        const ssize_t got = ::getrandom(bytes, count, 0);
        if (got < 0 && errno == EINTR)
        {
            continue;
        }
        if (got <= 0)
        {
            return got < 0 ? FileErrorFromErrno(errno) : FileError::Other;
        }
        bytes += got;
        count -= static_cast<std::size_t>(got);
    }
    return FileError::None;
}

FileError CreateTemporary(const FilePlace& place, const ExistingFile*, TemporaryFile& temp)
{
    // O_EXCL: a name already taken, by a file or a link, is never opened. 0666 under the umask gives
    // the file the mode any new file of the user gets.
    temp.handle.Reset(::open(PathIn(place.folder, temp.name).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    return ErrorUnless(temp.handle.IsValid());
}

bool KeepAccess(const ExistingFile& existing, const TemporaryFile& temp)
{
    struct stat status
    {
    };
    return ::fstat(existing.handle.Get(), &status) == 0 && CopyAccess(existing.handle.Get(), status, temp.handle.Get());
}

FileError Flush(const FileHandle& file)
{
    return ErrorUnless(::fsync(file.Get()) == 0);
}

FileError CloseFile(FileHandle& file)
{
    return ErrorUnless(file.Close());
}

FileError RenameOver(const FilePlace& place, const TemporaryFile& temp)
{
    return ErrorUnless(::rename(PathIn(place.folder, temp.name).c_str(), PathOf(place).c_str()) == 0);
}

FileError RenameNoReplace(const FilePlace& place, const TemporaryFile& temp)
{
    const std::string from = PathIn(place.folder, temp.name);
    const std::string to = PathOf(place);
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    {
        return FileError::None;
    }
    if (errno != EINVAL && errno != ENOSYS)
    {
        return FileErrorFromErrno(errno);
    }
    // The file system cannot rename so: a hard link is just as atomic and never replaces.
    if (::link(from.c_str(), to.c_str()) != 0)
    {
        return FileErrorFromErrno(errno);
    }
    ::unlink(from.c_str());
    return FileError::None;
}

void RemoveTemporary(const FilePlace& place, TemporaryFile& temp)
{
    temp.handle.Reset();
    ::unlink(PathIn(place.folder, temp.name).c_str());
}

void FlushFolder(const FilePlace& place)
{
    // A file system that cannot flush a folder loses nothing here.
    const FileHandle folder(::open(place.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.IsValid())
    {
        ::fsync(folder.Get());
    }
}

FileError OpenToRewrite(const FilePlace& place, FileHandle& file)
{
    file.Reset(::open(PathOf(place).c_str(), O_RDWR | O_CLOEXEC));
    return ErrorUnless(file.IsValid());
}

FileError OverwriteAll(const FileHandle& file, std::string_view bytes)
{
    if (::lseek(file.Get(), 0, SEEK_SET) != 0)
    {
        return FileErrorFromErrno(errno);
    }
    if (const FileError error = WriteAll(file, bytes); error != FileError::None)
    {
        return error;
    }
    return ErrorUnless(::ftruncate(file.Get(), static_cast<off_t>(bytes.size())) == 0 && ::fsync(file.Get()) == 0);
}
