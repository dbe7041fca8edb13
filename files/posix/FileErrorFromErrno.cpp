#include "files/posix/FileErrorFromErrno.h"

#include <cerrno>

FileError FileErrorFromErrno(int error)
{
    switch (error)
    {
    case 0:
        return FileError::None;
    case ENOENT:
    case ENOTDIR:
        return FileError::MissingFolder;
    case EACCES:
    case EPERM:
        return FileError::AccessDenied;
    case EROFS:
        return FileError::ReadOnlyFileSystem;
    case EISDIR:
        return FileError::NotRegularFile;
    case EEXIST:
        return FileError::NameTaken;
    case ENAMETOOLONG:
        return FileError::NameTooLong;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileError::DiskFull;
    case EMFILE:
    case ENFILE:
        return FileError::TooManyOpenFiles;
    case ETXTBSY:
    case EBUSY:
        return FileError::InUse;
    default:
        return FileError::Other;
    }
}
