#pragma once

// What a name in the file system leads to, symbolic links followed.
enum class FileKind
{
    Missing,
    Regular,
    // A directory, a FIFO, a device, or a link to one.
    NotRegular,
    // The system would not say.
    Unknown,
};

// Decided without reading anything, so that a FIFO or a device can neither block nor run forever.
FileKind KindOfFile(const char* path);

// Creates an empty file at path, and only there: a name that is already taken, also by a symbolic
// link whose target is missing, is left alone. False when nothing was created.
bool CreateEmptyFile(const char* path);
