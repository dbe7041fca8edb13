#pragma once

#include <windows.h>

#include <chrono>

namespace e2e
{

using namespace std::chrono_literals;

// How long a step of the program may take under Wine before the case gives up on it. Without a
// window manager Wine spends about 2 s on every window it hides, so closing steps get more.
inline constexpr std::chrono::milliseconds kStepLimit = 5s;
inline constexpr std::chrono::milliseconds kStartLimit = 30s;
inline constexpr std::chrono::milliseconds kExitLimit = 15s;

// Polls until done() holds or the limit has passed; answers whether it held.
template <class Predicate>
bool WaitUntil(Predicate&& done, std::chrono::milliseconds limit = kStepLimit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;)
    {
        if (done())
        {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
        {
            return false;
        }
        ::Sleep(20);
    }
}

} // namespace e2e
