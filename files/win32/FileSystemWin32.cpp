#include <windows.h>

#include "files/FileKind.h"
#include "files/ReplaceFileContents.h"
#include "files/win32/UniqueHandle.h"

#include <charconv>
#include <string>
#include <utility>

namespace
{
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Scanners, indexers and editors hold a file without sharing for a moment; an operation that meets
// one is tried again for about a second.
constexpr int kSharingRetries = 10;
constexpr DWORD kSharingPauseMs = 100;

template <typename Operation>
bool RetryWhileShared(const Operation& operation)
{
    for (int retry = 0;; ++retry)
    {
        if (operation())
        {
            return true;
        }
        const DWORD error = ::GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || retry == kSharingRetries)
        {
            return false;
        }
        ::Sleep(kSharingPauseMs);
    }
}

// On failure GetLastError tells why.
FileHandle OpenExisting(const char* path, DWORD access, DWORD share)
{
    FileHandle file;
    RetryWhileShared(
        [&]
        {
            file =
                FileHandle(::CreateFileA(path, access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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

// The full path of the file itself: where a symbolic link leads. Empty if the system cannot tell.
std::string FinalPathOf(HANDLE file)
{
    std::string path(MAX_PATH, '\0');
    for (;;)
    {
        const DWORD length = ::GetFinalPathNameByHandleA(file, path.data(), static_cast<DWORD>(path.size()),
                                                         FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
        {
            return {};
        }
        const bool fits = length < path.size();
        // Too small a buffer: length is the size needed, terminator included.
        path.resize(length);
        if (fits)
        {
            return path;
        }
    }
}

struct ExistingFile
{
    std::string path;
    DWORD attributes = 0;
};

enum class Lookup
{
    Found,
    Missing,
    Refused,
};

Lookup LookUp(const char* path, ExistingFile& existing)
{
    // Opening for writing, with all sharing, asks the system whether we may write the file: a rename
    // over it would need rights on the folder only.
    const FileHandle file = OpenExisting(path, GENERIC_WRITE, kShareAll);
    if (!file.IsValid())
    {
        return ::GetLastError() == ERROR_FILE_NOT_FOUND ? Lookup::Missing : Lookup::Refused;
    }
    // Wine lets root write a read-only file where Windows refuses; read-only is refused for everyone.
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file.Get(), &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
    {
        return Lookup::Refused;
    }
    existing.path = FinalPathOf(file.Get());
    existing.attributes = info.dwFileAttributes;
    return existing.path.empty() ? Lookup::Refused : Lookup::Found;
}

// What the replaced file carried that a new file can be created with (read-only is refused before).
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

constexpr unsigned kTempNameAttempts = 100;

// Our own name beside the file, e.g. lan.cfg.~1a2b.tmp.
std::string TempNameFor(const std::string& path, unsigned number)
{
    char digits[8];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, number & 0xFFFFU, 16);
    return path + ".~" + std::string(digits, end.ptr) + ".tmp";
}

enum class TempOutcome
{
    Written,
    NotCreatable,
    Failed,
};

TempOutcome WriteTemporary(const ExistingFile& target, std::string_view text, std::string& tempPath)
{
    const DWORD attributes = target.attributes & kKeptAttributes;
    const unsigned first = ::GetCurrentProcessId() ^ ::GetTickCount();
    FileHandle file;
    for (unsigned attempt = 0; attempt < kTempNameAttempts && !file.IsValid(); ++attempt)
    {
        tempPath = TempNameFor(target.path, first + attempt);
        // CREATE_NEW: a file of that name that is not ours is never opened, let alone truncated.
        file = FileHandle(::CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid() && ::GetLastError() != ERROR_FILE_EXISTS)
        {
            return TempOutcome::NotCreatable;
        }
    }
    if (!file.IsValid())
    {
        return TempOutcome::NotCreatable;
    }
    const bool written = WriteAll(file.Get(), text) && ::FlushFileBuffers(file.Get());
    if (file.Close() && written)
    {
        return TempOutcome::Written;
    }
    ::DeleteFileA(tempPath.c_str());
    return TempOutcome::Failed;
}

// ReplaceFileA gives the new file the old one's attributes, security descriptor and creation time on
// Windows (Wine's keeps the new file's, hence the attributes it was created with). Where it cannot
// work at all, a replacing rename still brings the new text.
bool MoveOver(const std::string& from, const std::string& to)
{
    return RetryWhileShared(
        [&]
        {
            if (::ReplaceFileA(to.c_str(), from.c_str(), nullptr, 0, nullptr, nullptr))
            {
                return true;
            }
            const DWORD error = ::GetLastError();
            return error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION &&
                   ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        });
}

// The fallback when the folder takes no new file: the old bytes are kept and put back on any
// failure, the close included. Others may read meanwhile, but not write.
bool OverwriteInPlace(const std::string& path, std::string_view text)
{
    FileHandle file = OpenExisting(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
    std::string original;
    if (!file.IsValid() || !ReadAll(file.Get(), original))
    {
        return false;
    }
    if (OverwriteAll(file.Get(), text) && file.Close())
    {
        return true;
    }
    if (!file.IsValid())
    {
        file = OpenExisting(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ);
    }
    if (file.IsValid() && OverwriteAll(file.Get(), original))
    {
        file.Close();
    }
    return false;
}

bool ReplaceExisting(const ExistingFile& existing, std::string_view text)
{
    std::string tempPath;
    switch (WriteTemporary(existing, text, tempPath))
    {
    case TempOutcome::Failed:
        return false;
    case TempOutcome::NotCreatable:
        return OverwriteInPlace(existing.path, text);
    case TempOutcome::Written:
        break;
    }
    if (MoveOver(tempPath, existing.path))
    {
        return true;
    }
    ::DeleteFileA(tempPath.c_str());
    return false;
}
} // namespace

bool ReplaceFileContents(const char* path, std::string_view text)
{
    ExistingFile existing;
    switch (LookUp(path, existing))
    {
    case Lookup::Refused:
        return false;
    case Lookup::Found:
        return ReplaceExisting(existing, text);
    case Lookup::Missing:
        break;
    }
    // The name is claimed first, so that a name taken meanwhile, or by a symbolic link whose target
    // is missing, is refused; the text then arrives as over any file, and the claim is withdrawn if
    // it cannot.
    if (!CreateEmptyFile(path))
    {
        return false;
    }
    if (LookUp(path, existing) == Lookup::Found && ReplaceExisting(existing, text))
    {
        return true;
    }
    ::DeleteFileA(path);
    return false;
}

FileKind KindOfFile(const char* path)
{
    // No access asked for: enough to learn the type, and Wine does not wait on a FIFO opened so.
    const FileHandle file(
        ::CreateFileA(path, 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.IsValid())
    {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileKind::Missing : FileKind::Unknown;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK)
    {
        return FileKind::NotRegular;
    }
    if (!::GetFileInformationByHandle(file.Get(), &info))
    {
        return FileKind::Unknown;
    }
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::NotRegular : FileKind::Regular;
}

bool CreateEmptyFile(const char* path)
{
    // CREATE_NEW refuses a name already taken, also by a symbolic link whose target is missing (which
    // Wine shows as no file at all, and would otherwise follow).
    FileHandle file(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid() && file.Close();
}
