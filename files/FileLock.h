#pragma once

#include "files/FileError.h"
#include "files/FileHandle.h"

// An exclusive lock for changing one file, held by the operating system for as long as the object
// lives. It goes with the process however that ends, so a killed holder never blocks the next one.
// The lock is taken on "PATH.lock" beside the file, created empty where missing and left in place
// (deleting it would let a waiter lock a file that is no longer in the folder). It is never a weaker
// lock than that: where PATH.lock cannot be used in a folder that takes new files (anyone who may
// write the folder can put a folder or a link in its place), the lock fails rather than lock the
// file itself, which a save replaces by rename. Only where no lock file can be made at all (a
// folder that takes no new file, a name too long for ".lock") is the file itself locked; after
// locking, the name is checked to still lead to the file locked, and where a save replaced it
// meanwhile, the new file is locked instead.
class FileLock
{
public:
    enum class Status
    {
        Held,
        // Another holder kept it for the whole wait.
        Busy,
        // No lock file can be made and the file cannot be opened: nothing is there to be changed
        // either, and whatever the caller does next meets the real cause.
        NothingToLock,
        // PATH.lock is there but cannot be used (a folder, a link, a file we may not read, a device),
        // or could not be made where new files can: Cause() tells why. Nothing may be changed.
        Unusable,
        // The system refused the lock itself.
        Failed,
    };

    // Tries for about a second, in short steps, while another holder has it. Looks at PATH.lock
    // and the file only: what path names must have been checked before (a folder or a device gets
    // no lock file beside it).
    explicit FileLock(const char* path);

    Status GetStatus() const { return m_status; }
    // Why the lock file is unusable.
    FileError Cause() const { return m_cause; }

private:
    // Closing it releases the lock.
    FileHandle m_file;
    Status m_status = Status::NothingToLock;
    FileError m_cause = FileError::None;
};

// How long a lock is waited for, in steps of a pause.
inline constexpr int kLockWaitMs = 1000;
inline constexpr int kLockPauseMs = 50;
inline constexpr int kLockAttempts = kLockWaitMs / kLockPauseMs + 1;
