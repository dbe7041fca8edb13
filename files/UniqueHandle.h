#pragma once

#include <utility>

// One owner for every handle the system gives out: file descriptors, Win32 handles of each kind. The
// traits say what the handle's type is, what "no handle" is for it (-1 for a descriptor,
// INVALID_HANDLE_VALUE for what CreateFile opens, a null handle for most other Win32 handles; nothing
// else counts) and how it is closed.
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
