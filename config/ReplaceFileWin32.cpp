#include <windows.h>

#include "config/ReplaceFileContents.h"

#include <string>

namespace
{
class CFileHandle
{
public:
    explicit CFileHandle(HANDLE h) : m_h(h) {}
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    ~CFileHandle()
    {
        if (IsOpen())
        {
            ::CloseHandle(m_h);
        }
    }

    HANDLE Get() const { return m_h; }
    bool IsOpen() const { return m_h != INVALID_HANDLE_VALUE; }

    // A failed close may mean the data never reached the disk.
    bool Close()
    {
        const HANDLE h = m_h;
        m_h = INVALID_HANDLE_VALUE;
        return ::CloseHandle(h) != FALSE;
    }

private:
    HANDLE m_h;
};

constexpr DWORD kMaxChunk = 1U << 30;

bool WriteAll(HANDLE h, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const DWORD nChunk = bytes.size() > kMaxChunk ? kMaxChunk : static_cast<DWORD>(bytes.size());
        DWORD nWritten = 0;
        if (!::WriteFile(h, bytes.data(), nChunk, &nWritten, nullptr) || nWritten == 0)
        {
            return false;
        }
        bytes.remove_prefix(nWritten);
    }
    return true;
}

// Writes bytes as the file's whole content, from its start, and makes it durable.
bool OverwriteAll(HANDLE h, std::string_view bytes)
{
    return ::SetFilePointer(h, 0, nullptr, FILE_BEGIN) == 0 && WriteAll(h, bytes) && ::SetEndOfFile(h) &&
           ::FlushFileBuffers(h);
}

bool ReadAll(HANDLE h, std::string& bytes)
{
    char chunk[64 * 1024];
    for (;;)
    {
        DWORD nRead = 0;
        if (!::ReadFile(h, chunk, sizeof chunk, &nRead, nullptr))
        {
            return false;
        }
        if (nRead == 0)
        {
            return true;
        }
        bytes.append(chunk, nRead);
    }
}

std::string DirectoryOf(const std::string& path)
{
    const std::size_t nSeparator = path.find_last_of("\\/:");
    if (nSeparator == std::string::npos)
    {
        return ".";
    }
    return path.substr(0, nSeparator + 1);
}

enum class TempOutcome
{
    Written,
    NotCreatable,
    Failed,
};

TempOutcome WriteTemporary(const std::string& path, std::string_view text, std::string& tempPath)
{
    char szTemp[MAX_PATH];
    // Creates a new, empty, uniquely named file beside the target.
    if (::GetTempFileNameA(DirectoryOf(path).c_str(), "lan", 0, szTemp) == 0)
    {
        return TempOutcome::NotCreatable;
    }
    tempPath = szTemp;
    CFileHandle file(
        ::CreateFileA(szTemp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen())
    {
        ::DeleteFileA(szTemp);
        return TempOutcome::NotCreatable;
    }
    const bool bWritten = WriteAll(file.Get(), text) && ::FlushFileBuffers(file.Get());
    if (file.Close() && bWritten)
    {
        return TempOutcome::Written;
    }
    ::DeleteFileA(szTemp);
    return TempOutcome::Failed;
}

// Scanners and indexers open a new file for a moment; the replace waits for them, up to about a second.
bool MoveOver(const std::string& from, const std::string& to)
{
    for (int nAttempt = 0;; ++nAttempt)
    {
        if (::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        {
            return true;
        }
        const DWORD dwError = ::GetLastError();
        const bool bTransient =
            dwError == ERROR_SHARING_VIOLATION || dwError == ERROR_LOCK_VIOLATION || dwError == ERROR_ACCESS_DENIED;
        if (!bTransient || nAttempt == 10)
        {
            return false;
        }
        ::Sleep(100);
    }
}

bool CreateInPlace(const std::string& path, std::string_view text)
{
    CFileHandle file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen())
    {
        return false;
    }
    const bool bWritten = WriteAll(file.Get(), text) && ::FlushFileBuffers(file.Get());
    if (file.Close() && bWritten)
    {
        return true;
    }
    ::DeleteFileA(path.c_str());
    return false;
}

// The fallback when the directory takes no new file: the original bytes are kept in memory and put
// back if the new ones cannot all be written.
bool OverwriteInPlace(const std::string& path, std::string_view text)
{
    CFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string original;
    if (!file.IsOpen() || !ReadAll(file.Get(), original))
    {
        return false;
    }
    if (OverwriteAll(file.Get(), text))
    {
        return file.Close();
    }
    OverwriteAll(file.Get(), original);
    return false;
}
} // namespace

bool ReplaceFileContents(const char* pszPath, std::string_view text)
{
    const std::string path(pszPath);
    const DWORD dwAttributes = ::GetFileAttributesA(pszPath);
    const bool bExists = dwAttributes != INVALID_FILE_ATTRIBUTES;
    if (!bExists && ::GetLastError() != ERROR_FILE_NOT_FOUND)
    {
        return false;
    }
    // Checked here because a rename would replace a read-only file, and Wine under root writes it anyway.
    if (bExists && (dwAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
    {
        return false;
    }

    std::string tempPath;
    switch (WriteTemporary(path, text, tempPath))
    {
    case TempOutcome::Failed:
        return false;
    case TempOutcome::NotCreatable:
        return bExists ? OverwriteInPlace(path, text) : CreateInPlace(path, text);
    case TempOutcome::Written:
        break;
    }
    if (!MoveOver(tempPath, path))
    {
        ::DeleteFileA(tempPath.c_str());
        return false;
    }
    return true;
}
