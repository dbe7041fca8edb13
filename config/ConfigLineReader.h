#pragma once

#include "files/FileError.h"

#include <cstddef>
#include <memory>
#include <string_view>

// The most a settings file may hold; a longer one is not read to its end. A real file holds about
// 213 bytes, and the longest a save writes 245 (four addresses of 15 characters); a hand-edited one
// with notes stays within a few kilobytes. Reading 1 MiB takes under a millisecond (the
// benchmarks), where a file with no bound (a sparse file of terabytes, a file that keeps growing)
// would hold a program up for hours, set with its lock held.
inline constexpr std::size_t kMaxConfigFileBytes = 1024 * 1024;

// Where the line reader gets its bytes: the settings file, or memory in tests and the fuzzer.
class ConfigByteSource
{
public:
    // Stores up to capacity bytes and tells how many; 0 means the end or a failed read.
    virtual std::size_t Read(char* buffer, std::size_t capacity) = 0;
    // After Read gave 0: why the read failed, or FileError::None at the real end.
    virtual FileError Error() const { return FileError::None; }

protected:
    ConfigByteSource() = default;
    ConfigByteSource(const ConfigByteSource&) = default;
    ConfigByteSource& operator=(const ConfigByteSource&) = default;
    ~ConfigByteSource() = default;
};

class MemoryByteSource final : public ConfigByteSource
{
public:
    // maxChunk limits each Read, so that tests can split the input anywhere.
    explicit MemoryByteSource(std::string_view bytes, std::size_t maxChunk = SIZE_MAX)
        : m_bytes(bytes), m_maxChunk(maxChunk == 0 ? 1 : maxChunk)
    {
    }

    std::size_t Read(char* buffer, std::size_t capacity) override;

private:
    std::string_view m_bytes;
    std::size_t m_maxChunk;
};

// Hands out lines under the text-mode rules the settings file has always been read with: CR LF and
// LF end a line (a lone CR is an ordinary byte), 0x1A ends the input, and a line holds at most
// kMaxLineBytes bytes; the rest of a longer line comes back as a line of its own. At most
// kMaxConfigFileBytes are read (and one more, to tell that there is more): a longer input ends
// there as a failed read would, with FileError::TooLarge.
class ConfigLineReader
{
public:
    static constexpr std::size_t kMaxLineBytes = 199;
    static constexpr std::size_t kDefaultBufferSize = 256 * 1024;

    explicit ConfigLineReader(ConfigByteSource& source, std::size_t bufferSize = kDefaultBufferSize);

    // The next line, without its line end; valid until the next call. Every call consumes at least
    // one byte or reaches the end, so a caller looping until AtEnd() always stops.
    std::string_view ReadLine();

    // True once a read has reached the end of the input. A failed read counts as the end too, as the
    // dialog has always taken it; Error() tells the two apart.
    bool AtEnd() const { return m_atEnd; }

    // Why a failed read ended the input, otherwise FileError::None.
    FileError Error() const { return m_error; }

private:
    // One line needs the limit plus a CR LF pair in view to be decided.
    static constexpr std::size_t kWindow = kMaxLineBytes + 1;

    void Refill();

    ConfigByteSource& m_source;
    std::size_t m_capacity;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    // Bytes taken from the source so far.
    std::size_t m_taken = 0;
    bool m_sourceDone = false;
    bool m_atEnd = false;
    FileError m_error = FileError::None;
};
