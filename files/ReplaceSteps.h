#pragma once

#include "files/FileError.h"
#include "files/FileHandle.h"

#include <cstddef>
#include <string>
#include <string_view>

// The steps a replacement of a file's contents is made of, one set per platform (posix/, win32/);
// ReplaceFileContents.cpp puts them in order. None decides how the save goes on after a failure:
// each only says why it failed.

// A name in the form the system takes: bytes on POSIX, UTF-16 on Windows.
#ifdef _WIN32
using SystemPath = std::wstring;
#else
using SystemPath = std::string;
#endif

// Where a file is: its folder and its name in it.
struct FilePlace
{
#ifdef _WIN32
    // A full path in the \\?\ form.
    std::wstring folder;
#else
    // Held open: every step names files in it, never by a path looked up again, so that a symbolic
    // link swapped in on the way meanwhile changes nothing.
    FileHandle folder;
#endif
    SystemPath name;
};

// What the save found at the path it was given.
struct ExistingFile
{
    // Where the name leads: a symbolic link followed, so that its target is replaced and the link
    // stays (on POSIX only a link that the system's rule for shared folders would follow). For a
    // missing file, where the new one goes.
    FilePlace place;
    // The file, open for as long as its access is wanted; none when the name leads to no file.
    FileHandle handle;
};

// Looks at what path leads to. A missing file is no failure: handle stays closed. Refuses what a save
// must not replace: anything but a regular file, a read-only file (also for an administrator), a file
// we may not write, a link to a missing file, a link whose end the system cannot tell, a link that
// another user made in a shared folder (POSIX), a missing folder.
FileError FindExisting(const char* path, ExistingFile& existing);

// Whether a new file can be given the existing one's owner and group: only root may give a file
// away (always true on Windows, where the owner is not kept).
bool NewFileCanKeepOwner(const ExistingFile& existing);

// A file of our own beside the one it replaces, under a name of its own in the same folder.
struct TemporaryFile
{
    SystemPath name;
    FileHandle handle;
};

// Fills bytes from the system's random source, which no one can foretell.
FileError RandomBytes(unsigned char* bytes, std::size_t count);

// Creates a new file of our own named temp.name in place's folder, open for writing, never opening
// one already there (NameTaken where the name is taken). Where existing is given, with what a new
// file can be created with (Windows: its attributes).
FileError CreateTemporary(const FilePlace& place, const ExistingFile* existing, TemporaryFile& temp);

// Gives temp what decides who may use existing (see ReplaceFileContents.h). False where any of it
// could not be kept.
bool KeepAccess(const ExistingFile& existing, const TemporaryFile& temp);

// Makes what was written to file durable.
FileError Flush(const FileHandle& file);

// Closes file; a failed close may mean its data never reached the disk.
FileError CloseFile(FileHandle& file);

// Renames the closed temporary file to place's name in one step, over the file there.
FileError RenameOver(const FilePlace& place, const TemporaryFile& temp);

// The same, but never replaces anything that took the name meanwhile: a file, or a symbolic link,
// dangling or not.
FileError RenameNoReplace(const FilePlace& place, const TemporaryFile& temp);

// Closes the temporary file where it is still open, and removes it after a failure.
void RemoveTemporary(const FilePlace& place, TemporaryFile& temp);

// Makes a rename in place's folder durable, where the system needs that asked for.
void FlushFolder(const FilePlace& place);

// Opens the file at place to be read and written in place; others may read it meanwhile.
FileError OpenToRewrite(const FilePlace& place, FileHandle& file);

// Writes bytes as file's whole content, from its start, cut after them, and flushed.
FileError OverwriteAll(const FileHandle& file, std::string_view bytes);
