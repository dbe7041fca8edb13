#include "files/FileLock.h"

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>

namespace
{
FileHandle OpenLockTarget(const char* path)
{
    // Read-only is enough for flock, and lets a lock file that another user made be shared. A
    // symbolic link in the lock file's place is not followed.
    const std::string lockPath = std::string(path) + ".lock";
    FileHandle lockFile(::open(lockPath.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (lockFile.IsValid())
    {
        return lockFile;
    }
    // Non-blocking: opening a FIFO would wait for a writer. Only a regular file is locked: anything
    // else is refused by the read that follows.
    FileHandle file(::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status
    {
    };
    if (file.IsValid() && (::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)))
    {
        file.Reset();
    }
    return file;
}

void Pause()
{
    const timespec pause{0, kLockPauseMs * 1'000'000L};
    ::nanosleep(&pause, nullptr);
}
} // namespace

FileLock::FileLock(const char* path) : m_file(OpenLockTarget(path))
{
    if (!m_file.IsValid())
    {
        return;
    }
    for (int attempt = 1;; ++attempt)
    {
        if (::flock(m_file.Get(), LOCK_EX | LOCK_NB) == 0)
        {
            m_status = Status::Held;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR)
        {
            m_status = Status::Failed;
            return;
        }
        if (attempt == kLockAttempts)
        {
            m_status = Status::Busy;
            return;
        }
        Pause();
    }
}
