#include "files/FileSystem.h"
#include "files/WriteAll.h"
#include "files/posix/FileErrorFromErrno.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool FileHandleTraits::Close(Type handle)
{
    return ::close(handle) == 0;
}

FileKind KindOfFile(const char* path, FileError& error)
{
    struct stat status
    {
    };
    if (::stat(path, &status) == 0)
    {
        return S_ISREG(status.st_mode) ? FileKind::Regular : FileKind::NotRegular;
    }
    if (errno == ENOENT || errno == ENOTDIR)
    {
        return FileKind::Missing;
    }
    error = FileErrorFromErrno(errno);
    return FileKind::Unknown;
}

bool NamesADevice(const char*)
{
    return false;
}

bool CreateEmptyFile(const char* path)
{
    // O_EXCL does not follow a symbolic link, not even one whose target is missing.
    FileHandle file(::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    return file.IsValid() && file.Close();
}

FileHandle OpenFileForReading(const char* path, FileError& error)
{
    FileHandle file(::open(path, O_RDONLY | O_NOCTTY | O_CLOEXEC));
    if (!file.IsValid())
    {
        error = FileErrorFromErrno(errno);
    }
    return file;
}

std::uint64_t SizeOfFile(const FileHandle& file, FileError& error)
{
    struct stat status
    {
    };
    if (::fstat(file.Get(), &status) != 0)
    {
        error = FileErrorFromErrno(errno);
        return 0;
    }
    return static_cast<std::uint64_t>(status.st_size);
}

std::size_t ReadFromFile(const FileHandle& file, char* buffer, std::size_t capacity, FileError& error)
{
    for (;;)
    {
        const ssize_t count = ::read(file.Get(), buffer, capacity);
        if (count >= 0)
        {
            return static_cast<std::size_t>(count);
        }
        if (errno != EINTR)
        {
            error = FileErrorFromErrno(errno);
            return 0;
        }
    }
}

FileError WriteAll(const FileHandle& file, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const ssize_t written = ::write(file.Get(), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
        {
            continue;
        }
        if (written <= 0)
        {
            return written < 0 ? FileErrorFromErrno(errno) : FileError::Other;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return FileError::None;
}
