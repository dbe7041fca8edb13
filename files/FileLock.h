#pragma once

#include "files/FileHandle.h"

// An exclusive lock for changing one file, held by the operating system for as long as the object
// lives. It goes with the process however that ends, so a killed holder never blocks the next one.
// The lock is taken on "PATH.lock" beside the file, created empty where missing and left in place
// (deleting it would let a waiter lock a file that is no longer in the folder). Where no lock file
// can be made, the file itself is locked: its folder then takes no temporary file either, so a save
// that succeeds writes it in place and it stays the very file that others lock.
class FileLock
{
public:
    enum class Status
    {
        Held,
        // Another holder kept it for the whole wait.
        Busy,
        // Neither a lock file nor the file itself could be opened: nothing is there to be changed
        // either, and whatever the caller does next meets the real cause.
        NothingToLock,
        // The system refused the lock itself.
        Failed,
    };

    // Tries for about a second, in short steps, while another holder has it.
    explicit FileLock(const char* path);

    Status GetStatus() const { return m_status; }

private:
    // Closing it releases the lock.
    FileHandle m_file;
    Status m_status = Status::NothingToLock;
};

// How long a lock is waited for, in steps of a pause.
inline constexpr int kLockWaitMs = 1000;
inline constexpr int kLockPauseMs = 50;
inline constexpr int kLockAttempts = kLockWaitMs / kLockPauseMs + 1;
