#include <windows.h>

#include "files/ReplaceFileContents.h"
#include "files/win32/KeepAccess.h"
#include "files/win32/UniqueHandle.h"
#include "files/win32/WidePath.h"

#include <string>

namespace
{
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Scanners, indexers and editors hold a file without sharing for a moment; an operation that meets
// one is tried again for about a second.
constexpr int kSharingRetries = 10;
constexpr DWORD kSharingPauseMs = 100;

// With evenWhenDenied ERROR_ACCESS_DENIED is waited out as well: that is the answer to a rename over
// a file another program holds open without delete sharing (a reader, say).
template <typename Operation>
bool RetryWhileShared(const Operation& operation, bool evenWhenDenied = false)
{
    for (int retry = 0;; ++retry)
    {
        if (operation())
        {
            return true;
        }
        const DWORD error = ::GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                          (evenWhenDenied && error == ERROR_ACCESS_DENIED);
        if (!held || retry == kSharingRetries)
        {
            return false;
        }
        ::Sleep(kSharingPauseMs);
    }
}

// On failure GetLastError tells why.
FileHandle OpenExisting(const std::wstring& path, DWORD access, DWORD share)
{
    FileHandle file;
    RetryWhileShared(
        [&]
        {
            file = FileHandle(
                ::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            return file.IsValid();
        });
    return file;
}

constexpr DWORD kMaxChunk = 1U << 30;

bool WriteAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const DWORD chunk = bytes.size() > kMaxChunk ? kMaxChunk : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0)
        {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// Writes bytes as the file's whole content, from its start, and makes it durable.
bool OverwriteAll(HANDLE file, std::string_view bytes)
{
    return ::SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 && WriteAll(file, bytes) && ::SetEndOfFile(file) &&
           ::FlushFileBuffers(file);
}

bool ReadAll(HANDLE file, std::string& bytes)
{
    char chunk[64 * 1024];
    for (;;)
    {
        DWORD count = 0;
        if (!::ReadFile(file, chunk, sizeof chunk, &count, nullptr))
        {
            return false;
        }
        if (count == 0)
        {
            return true;
        }
        bytes.append(chunk, count);
    }
}

struct ExistingFile
{
    std::wstring path;
    DWORD attributes = 0;
    FileHandle handle;
};

// Opening for writing, with all sharing, asks the system whether we may write the file: a rename
// over it would need rights on the folder only. ERROR_FILE_NOT_FOUND when there is none.
DWORD LookUp(const std::wstring& path, ExistingFile& existing)
{
    existing.handle = OpenExisting(path, GENERIC_WRITE | READ_CONTROL, kShareAll);
    if (!existing.handle.IsValid())
    {
        return ::GetLastError();
    }
    // Wine lets root write a read-only file where Windows refuses; read-only is refused for everyone.
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(existing.handle.Get()) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(existing.handle.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    {
        return ERROR_DIRECTORY;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0)
    {
        return ERROR_FILE_READ_ONLY;
    }
    existing.attributes = info.dwFileAttributes;
    existing.path = FinalPathOf(existing.handle.Get(), path);
    return existing.path.empty() ? ERROR_BAD_PATHNAME : ERROR_SUCCESS;
}

FileError ErrorOf(DWORD error)
{
    return error == ERROR_FILE_READ_ONLY ? FileError::ReadOnlyFile : FileErrorFromWin32(error);
}

// What the replaced file carried that a new file can be created with (read-only is refused before).
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

constexpr unsigned kTempNameAttempts = 100;

std::wstring FolderOf(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

// A short name of our own beside the file, e.g. ~tvl0123abcd.tmp, so that a long file name still
// leaves room for it. Formatted by hand: a wide printf would bring in a formatter of its own.
std::wstring TempNameFor(const std::wstring& path, unsigned number)
{
    std::wstring name = L"\\~tvl00000000.tmp";
    for (std::size_t digit = 0; digit < 8; ++digit)
    {
        name[12 - digit] = L"0123456789abcdef"[(number >> (4 * digit)) & 0xFU];
    }
    return FolderOf(path) + name;
}

// The folder takes no new file: the only errors that let the save go on in place.
bool FolderTakesNoNewFile(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT;
}

// Creates the temporary file beside path; on failure GetLastError tells why.
FileHandle CreateTemporary(const std::wstring& path, DWORD attributes, std::wstring& tempPath)
{
    const unsigned first = ::GetCurrentProcessId() * 2654435761U ^ ::GetTickCount();
    for (unsigned attempt = 0; attempt < kTempNameAttempts; ++attempt)
    {
        tempPath = TempNameFor(path, first + attempt);
        // CREATE_NEW: a file of that name that is not ours is never opened, let alone truncated.
        FileHandle file(::CreateFileW(tempPath.c_str(), GENERIC_WRITE | READ_CONTROL | WRITE_DAC, 0, nullptr,
                                      CREATE_NEW, attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.IsValid() || ::GetLastError() != ERROR_FILE_EXISTS)
        {
            return file;
        }
    }
    ::SetLastError(ERROR_FILE_EXISTS);
    return FileHandle();
}

// The fallback when the folder takes no new file: the old bytes are kept and put back on any
// failure, the close included. Others may read meanwhile, but not write.
FileError OverwriteInPlace(const std::wstring& path, std::string_view text)
{
    FileHandle file = OpenExisting(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
    std::string original;
    if (!file.IsValid() || !ReadAll(file.Get(), original))
    {
        return FileErrorFromWin32(::GetLastError());
    }
    if (OverwriteAll(file.Get(), text) && file.Close())
    {
        return FileError::None;
    }
    const DWORD error = ::GetLastError();
    if (!file.IsValid())
    {
        file = OpenExisting(path, GENERIC_WRITE, FILE_SHARE_READ);
    }
    if (file.IsValid() && OverwriteAll(file.Get(), original))
    {
        file.Close();
    }
    return FileErrorFromWin32(error);
}

enum class Arrival
{
    // One rename over the old file.
    Replace,
    // A new name that is never taken from anything already there.
    Create,
};

// Gives the temporary file the name. A new file arrives as a hard link, which never replaces: Wine's
// MoveFileExW without MOVEFILE_REPLACE_EXISTING replaces a dangling symbolic link. Where the file
// system has no hard links, a rename that does not replace is the next best.
bool Arrive(const std::wstring& temp, const std::wstring& target, Arrival arrival)
{
    if (arrival == Arrival::Replace)
    {
        return RetryWhileShared(
            [&] {
                return ::MoveFileExW(temp.c_str(), target.c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
            },
            true);
    }
    if (::CreateHardLinkW(target.c_str(), temp.c_str(), nullptr))
    {
        ::DeleteFileW(temp.c_str());
        return true;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_NOT_SUPPORTED && error != ERROR_INVALID_FUNCTION)
    {
        return false;
    }
    return ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
}

// Writes the temporary file and renames it; nothing of it is left on failure. inPlace tells that
// the folder takes no new file, or that the old file's access could not be kept on a new one.
FileError WriteAndArrive(const std::wstring& target, std::string_view text, ExistingFile* existing, bool& inPlace)
{
    std::wstring tempPath;
    FileHandle temp =
        CreateTemporary(target, existing != nullptr ? existing->attributes & kKeptAttributes : 0, tempPath);
    if (!temp.IsValid())
    {
        const DWORD error = ::GetLastError();
        inPlace = FolderTakesNoNewFile(error);
        return FileErrorFromWin32(error);
    }
    const bool kept = existing == nullptr || KeepAccess(existing->handle.Get(), temp.Get());
    if (existing != nullptr)
    {
        // Windows renames over no file that is still open.
        existing->handle.Reset();
    }
    bool done = kept && WriteAll(temp.Get(), text) && ::FlushFileBuffers(temp.Get());
    DWORD error = done ? ERROR_SUCCESS : ::GetLastError();
    if (!temp.Close() && done)
    {
        done = false;
        error = ::GetLastError();
    }
    if (done && !Arrive(tempPath, target, existing != nullptr ? Arrival::Replace : Arrival::Create))
    {
        done = false;
        error = ::GetLastError();
    }
    if (done)
    {
        return FileError::None;
    }
    ::DeleteFileW(tempPath.c_str());
    inPlace = !kept;
    return FileErrorFromWin32(error);
}
FileError ReplaceOnce(const char* path, std::string_view text)
{
    const std::wstring wide = WidePath(path);
    ExistingFile existing;
    const DWORD lookup = LookUp(wide, existing);
    bool inPlace = false;
    if (lookup == ERROR_FILE_NOT_FOUND)
    {
        const std::wstring full = FullPathOf(wide);
        if (full.empty())
        {
            return FileErrorFromWin32(::GetLastError());
        }
        return WriteAndArrive(full, text, nullptr, inPlace);
    }
    if (lookup != ERROR_SUCCESS)
    {
        return ErrorOf(lookup);
    }
    const FileError error = WriteAndArrive(existing.path, text, &existing, inPlace);
    if (!inPlace)
    {
        return error;
    }
    return OverwriteInPlace(existing.path, text);
}
} // namespace

FileError ReplaceFileContents(const char* path, std::string_view text)
{
    // Another save created the file meanwhile: ours replaces it, as it would have replaced ours. A
    // name still taken by no file (a dangling link) stays refused.
    const FileError error = ReplaceOnce(path, text);
    return error == FileError::NameTaken ? ReplaceOnce(path, text) : error;
}
