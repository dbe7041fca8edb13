#pragma once

#include <windows.h>

// Under Wine on a busy machine, CreateProcess of a GUI program has been seen to fail once with
// ERROR_INTERNAL_ERROR (1359): a fault of Wine's, not of the program started. A start that fails so
// is tried again a few times before the harness reports it; start() is one CreateProcess call, and
// any other failure, or the last, is returned at once with its error left in GetLastError.
template <typename Start>
bool StartRetryingWineFault(Start start)
{
    constexpr int kTries = 3;
    for (int attempt = 1;; ++attempt)
    {
        if (start())
        {
            return true;
        }
        if (::GetLastError() != ERROR_INTERNAL_ERROR || attempt == kTries)
        {
            return false;
        }
        ::Sleep(250);
    }
}
