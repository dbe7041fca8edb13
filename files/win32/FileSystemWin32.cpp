#include <windows.h>

#include "files/FileKind.h"
#include "files/ReadableFile.h"
#include "files/win32/UniqueHandle.h"
#include "files/win32/WidePath.h"

#include <cstdint>
#include <cstdio>

#include <fcntl.h>
#include <io.h>

FileError FileErrorFromWin32(DWORD error)
{
    switch (error)
    {
    case ERROR_SUCCESS:
        return FileError::None;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return FileError::MissingFolder;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return FileError::AccessDenied;
    case ERROR_WRITE_PROTECT:
        return FileError::ReadOnlyFileSystem;
    case ERROR_DIRECTORY:
        return FileError::NotRegularFile;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return FileError::NameTaken;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
        return FileError::NameTooLong;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FileError::DiskFull;
    case ERROR_TOO_MANY_OPEN_FILES:
        return FileError::TooManyOpenFiles;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return FileError::InUse;
    default:
        return FileError::Other;
    }
}

FileKind KindOfFile(const char* path)
{
    // No access asked for: enough to learn the type, and Wine does not wait on a FIFO opened so.
    const FileHandle file(::CreateFileW(WidePath(path).c_str(), 0,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.IsValid())
    {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileKind::Missing : FileKind::Unknown;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK)
    {
        return FileKind::NotRegular;
    }
    if (!::GetFileInformationByHandle(file.Get(), &info))
    {
        return FileKind::Unknown;
    }
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::NotRegular : FileKind::Regular;
}

bool CreateEmptyFile(const char* path)
{
    // CREATE_NEW refuses a name already taken, also by a symbolic link whose target is missing (which
    // Wine shows as no file at all, and would otherwise follow).
    FileHandle file(
        ::CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid() && file.Close();
}

std::FILE* OpenFileForReading(const char* path)
{
    // Sharing deletion too, so that a save renaming over the file meanwhile is not refused.
    FileHandle file(::CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
    {
        return nullptr;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(file.Get()), _O_RDONLY | _O_BINARY);
    if (fd < 0)
    {
        return nullptr;
    }
    // The descriptor owns the handle now, and the stream the descriptor.
    file.Release();
    std::FILE* stream = ::_fdopen(fd, "rb");
    if (stream == nullptr)
    {
        ::_close(fd);
    }
    return stream;
}
