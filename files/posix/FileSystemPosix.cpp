#include "files/FileKind.h"
#include "files/FileError.h"
#include "files/ReadableFile.h"
#include "files/posix/Descriptor.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

FileError FileErrorFromErrno(int error)
{
    switch (error)
    {
    case 0:
        return FileError::None;
    case ENOENT:
    case ENOTDIR:
        return FileError::MissingFolder;
    case EACCES:
    case EPERM:
        return FileError::AccessDenied;
    case EROFS:
        return FileError::ReadOnlyFileSystem;
    case EISDIR:
        return FileError::NotRegularFile;
    case EEXIST:
        return FileError::NameTaken;
    case ENAMETOOLONG:
        return FileError::NameTooLong;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileError::DiskFull;
    case EMFILE:
    case ENFILE:
        return FileError::TooManyOpenFiles;
    case ETXTBSY:
    case EBUSY:
        return FileError::InUse;
    default:
        return FileError::Other;
    }
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
        {
            continue;
        }
        if (written <= 0)
        {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

FileKind KindOfFile(const char* path)
{
    struct stat status
    {
    };
    if (::stat(path, &status) == 0)
    {
        return S_ISREG(status.st_mode) ? FileKind::Regular : FileKind::NotRegular;
    }
    return errno == ENOENT || errno == ENOTDIR ? FileKind::Missing : FileKind::Unknown;
}

bool CreateEmptyFile(const char* path)
{
    // O_EXCL does not follow a symbolic link, not even one whose target is missing.
    FileDescriptor file(::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    return file.IsOpen() && file.Close();
}

std::FILE* OpenFileForReading(const char* path)
{
    return std::fopen(path, "rb");
}
