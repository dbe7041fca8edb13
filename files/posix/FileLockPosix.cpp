#include "files/FileLock.h"
#include "files/posix/FileErrorFromErrno.h"

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace
{
bool IsRegular(const FileHandle& file)
{
    struct stat status
    {
    };
    return ::fstat(file.Get(), &status) == 0 && S_ISREG(status.st_mode);
}

// Whether path still leads to the file open as file.
bool StillNamed(const char* path, const FileHandle& file)
{
    struct stat named
    {
    };
    struct stat opened
    {
    };
    return ::stat(path, &named) == 0 && ::fstat(file.Get(), &opened) == 0 && named.st_dev == opened.st_dev &&
           named.st_ino == opened.st_ino;
}

// Whether the effective user may make a new file in path's folder: write and search permission, on a
// file system that is not read-only. Asked of the folder itself, so that whatever stands at the lock
// file's name cannot make the folder look closed.
bool FolderTakesNewFiles(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// The file itself, where it is a regular file. Non-blocking: opening a FIFO would wait for a writer.
FileHandle OpenFileItself(const char* path)
{
    FileHandle file(::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.IsValid() && !IsRegular(file))
    {
        file.Reset();
    }
    return file;
}

// What the lock is taken on.
struct LockTarget
{
    FileHandle file;
    // The file itself rather than its lock file: a save may meanwhile point its name at a new one.
    bool isTheFile = false;
    // Why the lock file cannot be used, where it cannot.
    FileError unusable = FileError::None;
};

LockTarget OpenLockTarget(const char* path)
{
    // Read-only is enough for flock, and lets a lock file that another user made be shared. A
    // symbolic link in its place is not followed, and a FIFO not waited on.
    const std::string lockPath = std::string(path) + ".lock";
    FileHandle lockFile(
        ::open(lockPath.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666));
    if (lockFile.IsValid())
    {
        return IsRegular(lockFile) ? LockTarget{std::move(lockFile)} : LockTarget{{}, false, FileError::NotRegularFile};
    }
    const int error = errno;
    // Where no lock file can be made by anyone (the folder takes no new file, or the name with
    // ".lock" is too long), every set locks the file itself.
    if (error == ENAMETOOLONG || !FolderTakesNewFiles(lockPath))
    {
        return {OpenFileItself(path), true};
    }
    // A link, dangling or not, is no regular file to this lock: it is never followed.
    return {{}, false, error == ELOOP ? FileError::NotRegularFile : FileErrorFromErrno(error)};
}

void Pause()
{
    const timespec pause{0, kLockPauseMs * 1'000'000L};
    ::nanosleep(&pause, nullptr);
}
} // namespace

FileLock::FileLock(const char* path)
{
    LockTarget target = OpenLockTarget(path);
    m_file = std::move(target.file);
    if (target.unusable != FileError::None)
    {
        m_status = Status::Unusable;
        m_cause = target.unusable;
        return;
    }
    for (int attempt = 1; m_file.IsValid(); ++attempt)
    {
        if (::flock(m_file.Get(), LOCK_EX | LOCK_NB) == 0)
        {
            if (!target.isTheFile || StillNamed(path, m_file))
            {
                m_status = Status::Held;
                return;
            }
            // A save replaced the file while we waited: the new one is what the next save reads.
            m_file = OpenFileItself(path);
        }
        else if (errno != EWOULDBLOCK && errno != EINTR)
        {
            m_status = Status::Failed;
            return;
        }
        if (attempt >= kLockAttempts)
        {
            m_status = Status::Busy;
            return;
        }
        Pause();
    }
}
