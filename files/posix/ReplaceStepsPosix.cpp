#include "files/ReplaceSteps.h"
#include "files/WriteAll.h"
#include "files/posix/CopyAccess.h"
#include "files/posix/FileErrorFromErrno.h"
#include "files/posix/FollowPath.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
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
    FileHandle file;
    if (const FileError error = FollowPath(path, existing.place, file); error != FileError::None || !file.IsValid())
    {
        return error;
    }
    if (const FileError error = CheckExisting(file); error != FileError::None)
    {
        return error;
    }
    // A rename over the file needs rights on the folder only; the file must be ours to write.
    const FilePlace& place = existing.place;
    if (::faccessat(place.folder.Get(), place.name.c_str(), W_OK, AT_EACCESS | AT_SYMLINK_NOFOLLOW) != 0)
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
    temp.handle.Reset(::openat(place.folder.Get(), temp.name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
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
    const int folder = place.folder.Get();
    return ErrorUnless(::renameat(folder, temp.name.c_str(), folder, place.name.c_str()) == 0);
}

FileError RenameNoReplace(const FilePlace& place, const TemporaryFile& temp)
{
    const int folder = place.folder.Get();
    if (::renameat2(folder, temp.name.c_str(), folder, place.name.c_str(), RENAME_NOREPLACE) == 0)
    {
        return FileError::None;
    }
    if (errno != EINVAL && errno != ENOSYS)
    {
        return FileErrorFromErrno(errno);
    }
    // The file system cannot rename so: a hard link is just as atomic and never replaces.
    if (::linkat(folder, temp.name.c_str(), folder, place.name.c_str(), 0) != 0)
    {
        return FileErrorFromErrno(errno);
    }
    ::unlinkat(folder, temp.name.c_str(), 0);
    return FileError::None;
}

void RemoveTemporary(const FilePlace& place, TemporaryFile& temp)
{
    temp.handle.Reset();
    ::unlinkat(place.folder.Get(), temp.name.c_str(), 0);
}

void FlushFolder(const FilePlace& place)
{
    // The folder is held open only to look names up in, which cannot flush it. A file system that
    // cannot flush a folder loses nothing here.
    const FileHandle folder(::openat(place.folder.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.IsValid())
    {
        ::fsync(folder.Get());
    }
}

FileError OpenToRewrite(const FilePlace& place, FileHandle& file)
{
    file.Reset(::openat(place.folder.Get(), place.name.c_str(), O_RDWR | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
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
