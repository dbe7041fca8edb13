#include <windows.h>
#include <ntsecapi.h>

#include "files/ReplaceSteps.h"
#include "files/WriteAll.h"
#include "files/win32/CopyExplicitAccess.h"
#include "files/win32/FileErrorFromWin32.h"
#include "files/win32/FinalPathOf.h"
#include "files/win32/FullPathOf.h"
#include "files/win32/RetryWhileShared.h"
#include "files/win32/WidePath.h"

namespace
{
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// What the replaced file carried that a new file can be created with (read-only is refused before).
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

FileError LastError()
{
    return FileErrorFromWin32(::GetLastError());
}

// None where a call succeeded, otherwise why the system says it failed.
FileError ErrorUnless(bool done)
{
    return done ? FileError::None : LastError();
}

// Opens an existing file, waiting out a brief hold by another program; on failure GetLastError
// tells why.
FileHandle OpenExisting(const std::wstring& path, DWORD access, DWORD share)
{
    FileHandle file;
    RetryWhileShared(
        [&]
        {
            file.Reset(
                ::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            return file.IsValid();
        });
    return file;
}

// A full path in the \\?\ form, cut at its last backslash.
FilePlace PlaceOf(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L'\\');
    return {path.substr(0, slash), path.substr(slash + 1)};
}

std::wstring PathIn(const std::wstring& folder, const std::wstring& name)
{
    return folder + L"\\" + name;
}

std::wstring PathOf(const FilePlace& place)
{
    return PathIn(place.folder, place.name);
}

// Wine lets root write a read-only file where Windows refuses; read-only is refused for everyone.
FileError CheckExisting(const FileHandle& file)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    {
        return FileError::NotRegularFile;
    }
    return (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? FileError::ReadOnlyFile : FileError::None;
}
} // namespace

FileError FindExisting(const char* path, ExistingFile& existing)
{
    const std::wstring wide = WidePath(path);
    // Opening for writing, with all sharing, asks the system whether we may write the file: a rename
    // over it would need rights on the folder only.
    FileHandle file = OpenExisting(wide, GENERIC_WRITE | READ_CONTROL, kShareAll);
    if (!file.IsValid())
    {
        if (::GetLastError() != ERROR_FILE_NOT_FOUND)
        {
            return LastError();
        }
        const std::wstring full = FullPathOf(wide);
        if (full.empty())
        {
            return LastError();
        }
        existing.place = PlaceOf(full);
        return FileError::None;
    }
    if (const FileError error = CheckExisting(file); error != FileError::None)
    {
        return error;
    }
    const std::wstring final = FinalPathOf(file.Get());
    if (final.empty())
    {
        const FileError error = LastError();
        return error != FileError::None ? error : FileError::Other;
    }
    existing.place = PlaceOf(final);
    existing.handle = std::move(file);
    return FileError::None;
}

bool NewFileCanKeepOwner(const ExistingFile&)
{
    // The owner is not kept on Windows: the new file is the saving user's, as any file they create.
    return true;
}

FileError RandomBytes(unsigned char* bytes, std::size_t count)
{
    // RtlGenRandom (SystemFunction036 of advapi32, which the programs import already): the system's
    // own generator, with no provider to load.
    return RtlGenRandom(bytes, static_cast<ULONG>(count)) ? FileError::None : FileError::Other;
}

FileError CreateTemporary(const FilePlace& place, const ExistingFile* existing, TemporaryFile& temp)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (existing != nullptr && !::GetFileInformationByHandle(existing->handle.Get(), &info))
    {
        return LastError();
    }
    const DWORD attributes = info.dwFileAttributes & kKeptAttributes;
    // CREATE_NEW: a file of that name that is not ours is never opened, let alone truncated.
    temp.handle.Reset(::CreateFileW(PathIn(place.folder, temp.name).c_str(), GENERIC_WRITE | READ_CONTROL | WRITE_DAC,
                                    0, nullptr, CREATE_NEW, attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
    return ErrorUnless(temp.handle.IsValid());
}

bool KeepAccess(const ExistingFile& existing, const TemporaryFile& temp)
{
    return CopyExplicitAccess(existing.handle.Get(), temp.handle.Get());
}

FileError Flush(const FileHandle& file)
{
    return ErrorUnless(::FlushFileBuffers(file.Get()) != FALSE);
}

FileError CloseFile(FileHandle& file)
{
    return ErrorUnless(file.Close());
}

FileError RenameOver(const FilePlace& place, const TemporaryFile& temp)
{
    const std::wstring from = PathIn(place.folder, temp.name);
    const std::wstring to = PathOf(place);
    return ErrorUnless(RetryWhileShared(
        [&] { return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH); },
        true));
}

// A hard link never replaces: Wine's MoveFileExW without MOVEFILE_REPLACE_EXISTING replaces a dangling
// symbolic link. Where the file system has no hard links, a rename that does not replace is the next
// best.
FileError RenameNoReplace(const FilePlace& place, const TemporaryFile& temp)
{
    const std::wstring from = PathIn(place.folder, temp.name);
    const std::wstring to = PathOf(place);
    if (::CreateHardLinkW(to.c_str(), from.c_str(), nullptr))
    {
        ::DeleteFileW(from.c_str());
        return FileError::None;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_NOT_SUPPORTED && error != ERROR_INVALID_FUNCTION)
    {
        return FileErrorFromWin32(error);
    }
    return ErrorUnless(::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH));
}

void RemoveTemporary(const FilePlace& place, TemporaryFile& temp)
{
    // Opened without sharing: it cannot be deleted while open.
    temp.handle.Reset();
    ::DeleteFileW(PathIn(place.folder, temp.name).c_str());
}

void FlushFolder(const FilePlace&)
{
    // MOVEFILE_WRITE_THROUGH has already waited for the rename to reach the disk.
}

FileError OpenToRewrite(const FilePlace& place, FileHandle& file)
{
    file = OpenExisting(PathOf(place), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
    return ErrorUnless(file.IsValid());
}

FileError OverwriteAll(const FileHandle& file, std::string_view bytes)
{
    if (::SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN) != 0)
    {
        return LastError();
    }
    if (const FileError error = WriteAll(file, bytes); error != FileError::None)
    {
        return error;
    }
    return ErrorUnless(::SetEndOfFile(file.Get()) && ::FlushFileBuffers(file.Get()));
}
