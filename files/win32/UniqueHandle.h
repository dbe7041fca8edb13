#pragma once

#include <windows.h>

#include "files/FileHandle.h"
#include "files/UniqueHandle.h"

// The Win32 handles besides files (FileHandle, which portable code owns too).

// Processes, threads, events: a null handle is none.
struct KernelHandleTraits
{
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool Close(Type handle) { return ::CloseHandle(handle) != FALSE; }
};

// What FindFirstFile opens: INVALID_HANDLE_VALUE is none, and FindClose closes it.
struct FindHandleTraits
{
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Close(Type handle) { return ::FindClose(handle) != FALSE; }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
