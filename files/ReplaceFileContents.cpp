#include "files/ReplaceFileContents.h"

#include "files/FileSystem.h"
#include "files/ReplaceSteps.h"
#include "files/TemporaryName.h"
#include "files/WriteAll.h"

#include <string>

namespace
{
bool ReadAll(const FileHandle& file, std::string& bytes, FileError& error)
{
    char chunk[64 * 1024];
    for (;;)
    {
        const std::size_t count = ReadFromFile(file, chunk, sizeof chunk, error);
        if (count == 0)
        {
            return error == FileError::None;
        }
        bytes.append(chunk, count);
    }
}

// Writes the file itself, which is not atomic: its old bytes are kept in memory and put back when any
// step fails, the final close included. A file that cannot be read back is not risked.
FileError WriteInPlace(ExistingFile& existing, std::string_view text)
{
    // Windows lets no one open a file for writing alone while another handle may write it too.
    existing.handle.Reset();
    const FilePlace& place = existing.place;
    FileHandle file;
    FileError error = OpenToRewrite(place, file);
    std::string original;
    if (error != FileError::None || !ReadAll(file, original, error))
    {
        return error;
    }
    error = OverwriteAll(file, text);
    if (error == FileError::None)
    {
        error = CloseFile(file);
    }
    if (error == FileError::None)
    {
        return FileError::None;
    }
    // After a failed close the file is opened again to put the old bytes back.
    if (file.IsValid() || OpenToRewrite(place, file) == FileError::None)
    {
        if (OverwriteAll(file, original) == FileError::None)
        {
            CloseFile(file);
        }
    }
    return error;
}

// Writes, flushes and closes the temporary file, then gives it the name with rename; on any failure
// it is removed. Nothing of this is excused by writing in place.
FileError WriteAndRename(const FilePlace& place, TemporaryFile& temp, std::string_view text,
                         FileError (*rename)(const FilePlace&, const TemporaryFile&))
{
    FileError error = WriteAll(temp.handle, text);
    if (error == FileError::None)
    {
        error = Flush(temp.handle);
    }
    const FileError closed = CloseFile(temp.handle);
    if (error == FileError::None)
    {
        error = closed;
    }
    if (error == FileError::None)
    {
        error = rename(place, temp);
    }
    if (error != FileError::None)
    {
        RemoveTemporary(place, temp);
        return error;
    }
    FlushFolder(place);
    return FileError::None;
}

// Names tried before a save gives up. Each is new and random, so that one taken is chance, not
// another's plan.
constexpr unsigned kTemporaryNameAttempts = 100;

// Creates the temporary file, under a new name each time the one tried is taken.
FileError CreateTemporaryFile(const FilePlace& place, const ExistingFile* existing, TemporaryFile& temp)
{
    for (unsigned attempt = 0; attempt < kTemporaryNameAttempts; ++attempt)
    {
        if (const FileError error = NewTemporaryName(temp.name); error != FileError::None)
        {
            return error;
        }
        if (const FileError error = CreateTemporary(place, existing, temp); error != FileError::NameTaken)
        {
            return error;
        }
    }
    return FileError::NameTaken;
}

// The folder takes no new file: no write permission on it, or a read-only file system.
bool FolderTakesNoNewFile(FileError error)
{
    return error == FileError::AccessDenied || error == FileError::ReadOnlyFileSystem;
}

// The one place that decides to write in place rather than rename: only where the folder takes no
// new file, or where a new file could not carry what decides who may use the old one (as editors do).
// Every other failure fails the save and leaves the file as it was.
FileError ReplaceExisting(ExistingFile& existing, std::string_view text)
{
    if (!NewFileCanKeepOwner(existing))
    {
        return WriteInPlace(existing, text);
    }
    TemporaryFile temp;
    if (const FileError error = CreateTemporaryFile(existing.place, &existing, temp); error != FileError::None)
    {
        return FolderTakesNoNewFile(error) ? WriteInPlace(existing, text) : error;
    }
    if (!KeepAccess(existing, temp))
    {
        RemoveTemporary(existing.place, temp);
        return WriteInPlace(existing, text);
    }
    // Windows renames over no file that is still open.
    existing.handle.Reset();
    return WriteAndRename(existing.place, temp, text, RenameOver);
}

// A missing file is created by a rename that never replaces: a name taken meanwhile is refused.
FileError CreateNew(const FilePlace& place, std::string_view text)
{
    TemporaryFile temp;
    if (const FileError error = CreateTemporaryFile(place, nullptr, temp); error != FileError::None)
    {
        return error;
    }
    return WriteAndRename(place, temp, text, RenameNoReplace);
}

FileError ReplaceOnce(const char* path, std::string_view text)
{
    ExistingFile existing;
    if (const FileError error = FindExisting(path, existing); error != FileError::None)
    {
        return error;
    }
    return existing.handle.IsValid() ? ReplaceExisting(existing, text) : CreateNew(existing.place, text);
}
} // namespace

FileError ReplaceFileContents(const char* path, std::string_view text)
{
    // Another save created the file meanwhile: ours replaces it, as it would have replaced ours. A
    // name still taken by no file (a dangling link) stays refused.
    const FileError error = ReplaceOnce(path, text);
    return error == FileError::NameTaken ? ReplaceOnce(path, text) : error;
}
