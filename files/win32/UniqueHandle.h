#pragma once

#include <windows.h>

#include <utility>

// One owner for every Win32 handle. The traits say what "no handle" is for a kind of handle:
// CreateFile answers INVALID_HANDLE_VALUE, most other functions a null handle; nothing else counts.
template <typename Traits>
class UniqueHandle
{
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : m_handle(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
        {
            Reset(other.Release());
        }
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    Type Get() const { return m_handle; }
    bool IsValid() const { return m_handle != Traits::Invalid(); }

    Type Release() { return std::exchange(m_handle, Traits::Invalid()); }

    void Reset(Type handle = Traits::Invalid())
    {
        const Type previous = std::exchange(m_handle, handle);
        if (previous != Traits::Invalid())
        {
            Traits::Close(previous);
        }
    }

    // A failed close of a file may mean its data never reached the disk.
    bool Close()
    {
        const Type previous = Release();
        return previous == Traits::Invalid() || Traits::Close(previous);
    }

private:
    Type m_handle = Traits::Invalid();
};

// Processes, threads, events: a null handle is none.
struct KernelHandleTraits
{
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool Close(Type handle) { return ::CloseHandle(handle) != FALSE; }
};

// What CreateFile opens: INVALID_HANDLE_VALUE is none.
struct FileHandleTraits
{
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
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
using FileHandle = UniqueHandle<FileHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
