#include <windows.h>

#include "files/FileLock.h"
#include "files/WindowsDeviceName.h"
#include "files/win32/FileErrorFromWin32.h"
#include "files/win32/WidePath.h"

#include <string>

namespace
{
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Windows byte-range locks are mandatory: the locked byte lies far past any content, so that
// readers of the file and the save's own writes never meet it.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

// Shared in every way, and read access only: the save may still move a new file over the locked one,
// open it for writing, or delete it.
FileHandle OpenShared(const std::wstring& path, DWORD disposition)
{
    return FileHandle(
        ::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// A file on a disk, not a folder, a pipe or a device.
bool IsRegular(const FileHandle& file)
{
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileType(file.Get()) == FILE_TYPE_DISK && ::GetFileInformationByHandle(file.Get(), &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Whether path still leads to the file open as file.
bool StillNamed(const std::wstring& path, const FileHandle& file)
{
    const FileHandle named(
        ::CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    return named.IsValid() && ::GetFileInformationByHandle(named.Get(), &a) &&
           ::GetFileInformationByHandle(file.Get(), &b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

FileHandle OpenFileItself(const std::wstring& path)
{
    FileHandle file = OpenShared(path, OPEN_EXISTING);
    if (file.IsValid() && !IsRegular(file))
    {
        file.Reset();
    }
    return file;
}

// Why the lock file at path cannot be opened: a folder is no regular file, whatever Windows answers
// (access denied).
FileError WhyUnusable(const std::wstring& path, DWORD error)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    {
        return FileError::NotRegularFile;
    }
    const FileError cause = FileErrorFromWin32(error);
    return cause != FileError::None ? cause : FileError::Other;
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

LockTarget OpenLockTarget(const std::wstring& path, const std::wstring& lockPath)
{
    // An existing lock file is opened as it is, and only a missing one is created: creating through a
    // symbolic link whose target is missing would make its target (Wine follows such a link).
    for (int tries = 0; tries < 2; ++tries)
    {
        FileHandle lockFile = OpenShared(lockPath, OPEN_EXISTING);
        if (!lockFile.IsValid() && ::GetLastError() == ERROR_FILE_NOT_FOUND)
        {
            lockFile = OpenShared(lockPath, CREATE_NEW);
        }
        if (lockFile.IsValid())
        {
            return IsRegular(lockFile) ? LockTarget{std::move(lockFile)}
                                       : LockTarget{{}, false, FileError::NotRegularFile};
        }
        const DWORD error = ::GetLastError();
        // No set can make a lock file here (the folder's access list or a write-protected disk refuses
        // new files, the folder is missing, the name with ".lock" is too long): every one locks the
        // file itself.
        if ((error == ERROR_ACCESS_DENIED && ::GetFileAttributesW(lockPath.c_str()) == INVALID_FILE_ATTRIBUTES &&
             ::GetLastError() == ERROR_FILE_NOT_FOUND) ||
            error == ERROR_WRITE_PROTECT || error == ERROR_PATH_NOT_FOUND || error == ERROR_FILENAME_EXCED_RANGE)
        {
            return {OpenFileItself(path), true};
        }
        // A lock file that is there but cannot be used fails the lock even in a folder that takes no
        // new file: telling that from the folder would need its access list. Never a weaker lock.
        // Taken between the two opens, by another set (open it) or by a link to a missing file.
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
        {
            return {{}, false, WhyUnusable(lockPath, error)};
        }
    }
    return {{}, false, FileError::DanglingLink};
}
} // namespace

FileLock::FileLock(const char* path)
{
    // A device name (NUL, COM1) opens the device, with or without ".lock" after it: neither is opened.
    const std::string lockPath = std::string(path) + ".lock";
    if (IsWindowsDeviceName(path) || IsWindowsDeviceName(lockPath))
    {
        return;
    }
    const std::wstring widePath = WidePath(path);
    LockTarget target = OpenLockTarget(widePath, WidePath(lockPath));
    m_file = std::move(target.file);
    if (target.unusable != FileError::None)
    {
        m_status = Status::Unusable;
        m_cause = target.unusable;
        return;
    }
    for (int attempt = 1; m_file.IsValid(); ++attempt)
    {
        OVERLAPPED where{};
        where.OffsetHigh = kLockOffsetHigh;
        if (::LockFileEx(m_file.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where))
        {
            if (!target.isTheFile || StillNamed(widePath, m_file))
            {
                m_status = Status::Held;
                return;
            }
            // A save replaced the file while we waited: the new one is what the next save reads.
            m_file = OpenFileItself(widePath);
        }
        else if (::GetLastError() != ERROR_LOCK_VIOLATION)
        {
            m_status = Status::Failed;
            return;
        }
        if (attempt >= kLockAttempts)
        {
            m_status = Status::Busy;
            return;
        }
        ::Sleep(kLockPauseMs);
    }
}
