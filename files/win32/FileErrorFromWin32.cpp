#include <windows.h>

#include "files/win32/FileErrorFromWin32.h"

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
    case ERROR_FILE_READ_ONLY:
        return FileError::ReadOnlyFile;
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
