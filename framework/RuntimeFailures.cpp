#include "framework/RuntimeFailure.h"

#include <cstddef>
#include <cstdlib>
#include <new>

// The Windows programs are built without exceptions: nothing in them catches one, so every failure
// the C++ runtime would throw ends the program as an uncaught throw would. libstdc++'s own versions
// of these throw, and bring with them its exception classes, the old and new string instances and
// the unwinder, most of the program's size. A reference to one not defined here makes the linker
// take libstdc++'s functexcept.o, whose definitions then clash with these: the build fails loudly.
namespace std
{
void __throw_bad_alloc()
{
    EndOnRuntimeFailure();
}

void __throw_bad_array_new_length()
{
    EndOnRuntimeFailure();
}

void __throw_length_error(const char*)
{
    EndOnRuntimeFailure();
}

void __throw_logic_error(const char*)
{
    EndOnRuntimeFailure();
}

void __throw_out_of_range(const char*)
{
    EndOnRuntimeFailure();
}

void __throw_out_of_range_fmt(const char*, ...)
{
    EndOnRuntimeFailure();
}

void __throw_invalid_argument(const char*)
{
    EndOnRuntimeFailure();
}
} // namespace std

// The runtime's handler names the exception on the console, which pulls in the demangler and a
// printf; there is nothing left to name once exceptions are off.
namespace __gnu_cxx
{
void __verbose_terminate_handler()
{
    EndOnRuntimeFailure();
}
} // namespace __gnu_cxx

// Allocation that cannot fail quietly: libstdc++'s operator new throws std::bad_alloc.
void* operator new(std::size_t size)
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr)
    {
        EndOnRuntimeFailure();
    }
    return block;
}

void* operator new[](std::size_t size)
{
    return ::operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size == 0 ? 1 : size);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}
