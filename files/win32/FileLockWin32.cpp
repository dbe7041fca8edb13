#include <windows.h>

#include "files/FileLock.h"
#include "files/win32/WidePath.h"

#include <string>

namespace
{
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Windows byte-range locks are mandatory: the locked byte lies far past any content, so that
// readers of the file and the save's own writes never meet it.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

FileHandle OpenLockTarget(const char* path)
{
    // Shared in every way, and read access only: the save may still move a new file over the
    // locked one, open it for writing, or delete it.
    const std::wstring lockPath = WidePath(std::string(path) + ".lock");
    FileHandle file(
        ::CreateFileW(lockPath.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.IsValid())
    {
        return file;
    }
    // Only a file on a disk is locked: anything else is refused by the read that follows.
    file.Reset(::CreateFileW(WidePath(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.IsValid() && ::GetFileType(file.Get()) != FILE_TYPE_DISK)
    {
        file.Reset();
    }
    return file;
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
        OVERLAPPED where{};
        where.OffsetHigh = kLockOffsetHigh;
        if (::LockFileEx(m_file.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where))
        {
            m_status = Status::Held;
            return;
        }
        if (::GetLastError() != ERROR_LOCK_VIOLATION)
        {
            m_status = Status::Failed;
            return;
        }
        if (attempt == kLockAttempts)
        {
            m_status = Status::Busy;
            return;
        }
        ::Sleep(kLockPauseMs);
    }
}
