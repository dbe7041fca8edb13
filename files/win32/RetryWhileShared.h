#pragma once

#include <windows.h>

// Scanners, indexers and editors hold a file without sharing for a moment; an operation that meets
// one is tried again for about a second. operation answers success; on failure GetLastError tells
// why. With evenWhenDenied ERROR_ACCESS_DENIED is waited out as well: that is the answer to a rename
// over a file another program holds open without delete sharing (a reader, say).
template <typename Operation>
bool RetryWhileShared(const Operation& operation, bool evenWhenDenied = false)
{
    constexpr int kSharingRetries = 10;
    constexpr DWORD kSharingPauseMs = 100;
    for (int retry = 0;; ++retry)
    {
        if (operation())
        {
            return true;
        }
        const DWORD error = ::GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                          (evenWhenDenied && error == ERROR_ACCESS_DENIED);
        if (!held || retry == kSharingRetries)
        {
            return false;
        }
        ::Sleep(kSharingPauseMs);
    }
}
