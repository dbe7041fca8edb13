#include "files/FileKind.h"
#include "files/ReplaceFileContents.h"

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (m_fd >= 0)
        {
            ::close(m_fd);
        }
    }

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }

    // A failed close may mean the data never reached the disk.
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

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

// Writes bytes as the file's whole content, from its start, and makes it durable.
bool OverwriteAll(int fd, std::string_view bytes)
{
    return ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes) &&
           ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

bool ReadAll(const std::string& path, std::string& bytes)
{
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.IsOpen())
    {
        return false;
    }
    char chunk[64 * 1024];
    for (;;)
    {
        const ssize_t count = ::read(fd.Get(), chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
        {
            continue;
        }
        if (count < 0)
        {
            return false;
        }
        if (count == 0)
        {
            return true;
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

enum class TempOutcome
{
    Written,
    NotCreatable,
    Failed,
};

TempOutcome WriteTemporary(const std::string& path, std::string_view text, const struct stat* existing,
                           std::string& tempPath)
{
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt)
    {
        tempPath = path + "." + std::to_string(::getpid()) + "." + std::to_string(attempt) + ".tmp";
        // 0666 under the umask gives a new file the mode any new file of the user gets.
        fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
        {
            return TempOutcome::NotCreatable;
        }
    }
    if (fd < 0)
    {
        return TempOutcome::NotCreatable;
    }
    FileDescriptor file(fd);
    if (existing != nullptr)
    {
        // The replacement keeps the owner and mode of the file it replaces, where we are allowed to.
        if (::fchown(file.Get(), existing->st_uid, existing->st_gid) != 0)
        {
            errno = 0;
        }
        ::fchmod(file.Get(), existing->st_mode & 07777);
    }
    const bool written = WriteAll(file.Get(), text) && ::fsync(file.Get()) == 0;
    if (file.Close() && written)
    {
        return TempOutcome::Written;
    }
    ::unlink(tempPath.c_str());
    return TempOutcome::Failed;
}

bool CreateInPlace(const std::string& path, std::string_view text)
{
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!file.IsOpen())
    {
        return false;
    }
    const bool written = WriteAll(file.Get(), text) && ::fsync(file.Get()) == 0;
    if (file.Close() && written)
    {
        return true;
    }
    ::unlink(path.c_str());
    return false;
}

bool RestoreInPlace(const std::string& path, std::string_view original)
{
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    return file.IsOpen() && OverwriteAll(file.Get(), original) && file.Close();
}

// The fallback when the directory takes no new file: the original bytes are kept in memory and put
// back if the new ones cannot all be written. A file we cannot read back is not risked.
bool OverwriteInPlace(const std::string& path, std::string_view text)
{
    std::string original;
    if (!ReadAll(path, original))
    {
        return false;
    }
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    if (!file.IsOpen())
    {
        return false;
    }
    const bool written = OverwriteAll(file.Get(), text);
    if (file.Close() && written)
    {
        return true;
    }
    RestoreInPlace(path, original);
    return false;
}

// Follows a symbolic link, so that the file it names is replaced and the link stays.
bool ResolveLink(std::string& path)
{
    struct stat linkStat
    {
    };
    if (::lstat(path.c_str(), &linkStat) != 0 || !S_ISLNK(linkStat.st_mode))
    {
        return true;
    }
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved)
    {
        return false;
    }
    path = resolved.get();
    return true;
}
} // namespace

bool ReplaceFileContents(const char* target, std::string_view text)
{
    std::string path(target);
    if (!ResolveLink(path))
    {
        return false;
    }

    struct stat existing
    {
    };
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT)
    {
        return false;
    }
    if (exists)
    {
        // No write bit for anyone means read-only, also for root, who the kernel would let through.
        if (!S_ISREG(existing.st_mode) || (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
            ::access(path.c_str(), W_OK) != 0)
        {
            return false;
        }
    }

    std::string tempPath;
    switch (WriteTemporary(path, text, exists ? &existing : nullptr, tempPath))
    {
    case TempOutcome::Failed:
        return false;
    case TempOutcome::NotCreatable:
        return exists ? OverwriteInPlace(path, text) : CreateInPlace(path, text);
    case TempOutcome::Written:
        break;
    }
    if (::rename(tempPath.c_str(), path.c_str()) != 0)
    {
        ::unlink(tempPath.c_str());
        return false;
    }
    SyncDirectoryOf(path);
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
