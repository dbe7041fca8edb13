#pragma once

#include "files/UniqueHandle.h"

#include <cstdint>

// An open file as the system gives it out: a descriptor on POSIX, what CreateFile opens on Windows (a
// HANDLE, declared here as what it is, void*, so that portable code can own one without windows.h).
// Close is each platform's half's: false where the close failed, with the system's error set.
#ifdef _WIN32
struct FileHandleTraits
{
    using Type = void*;
    // INVALID_HANDLE_VALUE.
    static Type Invalid() { return reinterpret_cast<Type>(std::intptr_t{-1}); }
    static bool Close(Type handle);
};
#else
struct FileHandleTraits
{
    using Type = int;
    static constexpr Type Invalid() { return -1; }
    static bool Close(Type handle);
};
#endif

using FileHandle = UniqueHandle<FileHandleTraits>;
