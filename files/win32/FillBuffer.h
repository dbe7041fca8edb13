#pragma once

#include <windows.h>

#include <string>

// Calls a function that fills a buffer of wide characters and answers the length written without
// the terminator, or, for too small a buffer, the size needed: with the terminator on Windows,
// without it under Wine. Sized by that answer either way, so at most three calls; never a loop.
// Empty where the function fails.
template <typename Fill>
std::wstring FillBuffer(const Fill& fill)
{
    std::wstring buffer(MAX_PATH + 1, L'\0');
    for (int call = 0; call < 3; ++call)
    {
        const DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
        {
            return {};
        }
        if (length < buffer.size())
        {
            buffer.resize(length);
            return buffer;
        }
        buffer.assign(static_cast<std::size_t>(length) + 1, L'\0');
    }
    return {};
}
