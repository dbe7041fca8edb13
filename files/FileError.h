#pragma once

// Why a file operation failed, in terms an operator can act on.
enum class FileError
{
    None,
    MissingFolder,
    AccessDenied,
    ReadOnlyFile,
    ReadOnlyFileSystem,
    NotRegularFile,
    DanglingLink,
    // A symbolic link that the system's own rule for shared folders would not follow.
    LinkInSharedFolder,
    NameTaken,
    NameTooLong,
    DiskFull,
    TooManyOpenFiles,
    InUse,
    // Larger than a file of its kind may be: not read to its end.
    TooLarge,
    Other,
};

// One lower-case phrase, for example "read-only file system".
const char* DescribeFileError(FileError error);
