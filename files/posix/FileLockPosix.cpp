#include "files/FileLock.h"

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace
{
int OpenLockTarget(const char* path)
{
    // Read-only is enough for flock, and lets a lock file that another user made be shared. A
    // symbolic link in the lock file's place is not followed.
    const std::string lockPath = std::string(path) + ".lock";
    const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0)
    {
        return fd;
    }
    // Non-blocking: opening a FIFO would wait for a writer. Only a regular file is locked: anything
    // else is refused by the read that follows.
    const int file = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat status
    {
    };
    if (file >= 0 && (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode)))
    {
        ::close(file);
        return -1;
    }
    return file;
}

void Pause()
{
    const timespec pause{0, kLockPauseMs * 1'000'000L};
    ::nanosleep(&pause, nullptr);
}
} // namespace

FileLock::FileLock(const char* path)
{
    const int fd = OpenLockTarget(path);
    if (fd < 0)
    {
        return;
    }
    m_handle = fd;
    for (int attempt = 1;; ++attempt)
    {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
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

FileLock::~FileLock()
{
    // Closing the last descriptor releases the lock.
    if (m_handle != kNoHandle)
    {
        ::close(static_cast<int>(m_handle));
    }
}
