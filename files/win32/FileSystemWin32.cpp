#include <windows.h>

#include "files/FileSystem.h"
#include "files/WindowsDeviceName.h"
#include "files/WriteAll.h"
#include "files/win32/FileErrorFromWin32.h"
#include "files/win32/RetryWhileShared.h"
#include "files/win32/WidePath.h"

#include <type_traits>

static_assert(std::is_same_v<FileHandleTraits::Type, HANDLE>, "FileHandle holds what CreateFile answers");

namespace
{
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The most one call reads or writes.
constexpr DWORD kMaxChunk = 1U << 30;

DWORD ChunkOf(std::size_t size)
{
    return size > kMaxChunk ? kMaxChunk : static_cast<DWORD>(size);
}
} // namespace

bool FileHandleTraits::Close(Type handle)
{
    return ::CloseHandle(handle) != FALSE;
}

FileKind KindOfFile(const char* path, FileError& error)
{
    if (IsWindowsDeviceName(path))
    {
        return FileKind::NotRegular;
    }
    // No access asked for: enough to learn the type, and Wine does not wait on a FIFO opened so.
    const FileHandle file(::CreateFileW(WidePath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.IsValid())
    {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
        {
            return FileKind::Missing;
        }
        error = FileErrorFromWin32(code);
        return FileKind::Unknown;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK)
    {
        return FileKind::NotRegular;
    }
    if (!::GetFileInformationByHandle(file.Get(), &info))
    {
        error = FileErrorFromWin32(::GetLastError());
        return FileKind::Unknown;
    }
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::NotRegular : FileKind::Regular;
}

bool NamesADevice(const char* path)
{
    return IsWindowsDeviceName(path);
}

bool CreateEmptyFile(const char* path)
{
    if (IsWindowsDeviceName(path))
    {
        return false;
    }
    // CREATE_NEW refuses a name already taken, also by a symbolic link whose target is missing (which
    // Wine shows as no file at all, and would otherwise follow).
    FileHandle file(
        ::CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid() && file.Close();
}

FileHandle OpenFileForReading(const char* path, FileError& error)
{
    if (IsWindowsDeviceName(path))
    {
        error = FileError::NotRegularFile;
        return {};
    }
    const std::wstring wide = WidePath(path);
    FileHandle file;
    // Sharing deletion too, so that a save renaming over the file meanwhile is not refused.
    if (!RetryWhileShared(
            [&]
            {
                file.Reset(::CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
                return file.IsValid();
            }))
    {
        error = FileErrorFromWin32(::GetLastError());
    }
    return file;
}

std::uint64_t SizeOfFile(const FileHandle& file, FileError& error)
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size))
    {
        error = FileErrorFromWin32(::GetLastError());
        return 0;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t ReadFromFile(const FileHandle& file, char* buffer, std::size_t capacity, FileError& error)
{
    DWORD count = 0;
    if (!::ReadFile(file.Get(), buffer, ChunkOf(capacity), &count, nullptr))
    {
        error = FileErrorFromWin32(::GetLastError());
        return 0;
    }
    return count;
}

FileError WriteAll(const FileHandle& file, std::string_view bytes)
{
    while (!bytes.empty())
    {
        DWORD written = 0;
        if (!::WriteFile(file.Get(), bytes.data(), ChunkOf(bytes.size()), &written, nullptr))
        {
            return FileErrorFromWin32(::GetLastError());
        }
        if (written == 0)
        {
            return FileError::Other;
        }
        bytes.remove_prefix(written);
    }
    return FileError::None;
}
