#include "files/FileError.h"

const char* DescribeFileError(FileError error)
{
    switch (error)
    {
    case FileError::None:
        return "no error";
    case FileError::MissingFolder:
        return "the folder does not exist";
    case FileError::AccessDenied:
        return "permission denied";
    case FileError::ReadOnlyFile:
        return "the file is read-only";
    case FileError::ReadOnlyFileSystem:
        return "read-only file system";
    case FileError::NotRegularFile:
        return "not a regular file";
    case FileError::DanglingLink:
        return "a symbolic link to a missing file";
    case FileError::LinkInSharedFolder:
        return "a symbolic link another user made in a shared folder";
    case FileError::NameTaken:
        return "the name was taken meanwhile";
    case FileError::NameTooLong:
        return "file name too long";
    case FileError::DiskFull:
        return "no space left on the disk";
    case FileError::TooManyOpenFiles:
        return "too many open files";
    case FileError::InUse:
        return "the file is in use by another program";
    case FileError::TooLarge:
        return "the file is too large";
    case FileError::Other:
        break;
    }
    return "input/output error";
}
