#pragma once

#include "files/FileError.h"
#include "files/FileHandle.h"

#include <cstddef>
#include <cstdint>

// What the settings file's reading needs of the file system. Paths are bytes on POSIX, WTF-8 on Windows.

// What a name in the file system leads to, symbolic links followed.
enum class FileKind
{
    Missing,
    Regular,
    // A directory, a FIFO, a device, or a link to one.
    NotRegular,
    // The system would not say; error tells why.
    Unknown,
};

// Decided without reading anything, so that a FIFO or a device can neither block nor run forever.
// A Windows device name (NUL, COM1) is not even opened.
FileKind KindOfFile(const char* path, FileError& error);

// Whether the name itself leads to a device, whatever the folder holds: Windows' reserved names
// (IsWindowsDeviceName). Never on POSIX, where a device is a file like any other (KindOfFile).
bool NamesADevice(const char* path);

// Creates an empty file at path, and only there: a name that is already taken, also by a symbolic
// link whose target is missing, is left alone. False when nothing was created.
bool CreateEmptyFile(const char* path);

// Opens the file at path for reading; where it cannot, no handle, and error tells why. Another
// program's brief hold of the file without sharing (Windows) is waited out, as the save does.
FileHandle OpenFileForReading(const char* path, FileError& error);

// The size of an open file in bytes; on failure 0, and error tells why.
std::uint64_t SizeOfFile(const FileHandle& file, FileError& error);

// Reads up to capacity bytes from where the last read ended and tells how many: 0 at the end, and 0
// on failure, where error tells why.
std::size_t ReadFromFile(const FileHandle& file, char* buffer, std::size_t capacity, FileError& error);
