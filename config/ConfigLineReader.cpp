#include "config/ConfigLineReader.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr char kEndOfFile = '\x1A';
} // namespace

std::size_t MemoryByteSource::Read(char* buffer, std::size_t capacity)
{
    const std::size_t n = std::min({capacity, m_maxChunk, m_bytes.size()});
    std::memcpy(buffer, m_bytes.data(), n);
    m_bytes.remove_prefix(n);
    return n;
}

ConfigLineReader::ConfigLineReader(ConfigByteSource& source, std::size_t bufferSize)
    : m_source(source), m_capacity(std::max(bufferSize, 2 * kWindow)),
      m_buffer(std::make_unique_for_overwrite<char[]>(m_capacity))
{
}

void ConfigLineReader::Refill()
{
    char* const buffer = m_buffer.get();
    if (m_begin > 0)
    {
        std::memmove(buffer, buffer + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
    }
    while (!m_sourceDone && m_end < kWindow)
    {
        // One byte past the limit is asked for, to tell an input of exactly the limit from a longer one.
        const std::size_t room = std::min(m_capacity - m_end, kMaxConfigFileBytes + 1 - m_taken);
        std::size_t count = m_source.Read(buffer + m_end, room);
        if (count == 0)
        {
            m_sourceDone = true;
            m_error = m_source.Error();
            break;
        }
        m_taken += count;
        const bool tooLarge = m_taken > kMaxConfigFileBytes;
        if (tooLarge)
        {
            --count;
        }
        // Ctrl-Z ends the file for reading: nothing after it is ever looked at.
        if (const void* stop = std::memchr(buffer + m_end, kEndOfFile, count))
        {
            m_end = static_cast<std::size_t>(static_cast<const char*>(stop) - buffer);
            m_sourceDone = true;
            break;
        }
        m_end += count;
        // The bytes up to the limit count; reading ends there, as at a failed read.
        if (tooLarge)
        {
            m_sourceDone = true;
            m_error = FileError::TooLarge;
        }
    }
}

std::string_view ConfigLineReader::ReadLine()
{
    if (m_end - m_begin < kWindow)
    {
        Refill();
    }
    const char* const p = m_buffer.get() + m_begin;
    const std::size_t available = m_end - m_begin;
    const std::size_t scanned = std::min(available, kMaxLineBytes);

    if (const void* lfAt = std::memchr(p, '\n', scanned))
    {
        const auto lf = static_cast<std::size_t>(static_cast<const char*>(lfAt) - p);
        m_begin += lf + 1;
        const bool crLf = lf > 0 && p[lf - 1] == '\r';
        return {p, crLf ? lf - 1 : lf};
    }
    if (scanned == kMaxLineBytes)
    {
        // A CR LF right after 198 bytes is a line end; it counts as one byte stored.
        if (available > kMaxLineBytes && p[kMaxLineBytes - 1] == '\r' && p[kMaxLineBytes] == '\n')
        {
            m_begin += kMaxLineBytes + 1;
            return {p, kMaxLineBytes - 1};
        }
        m_begin += kMaxLineBytes;
        return {p, kMaxLineBytes};
    }
    // Fewer bytes than a full line are left only when the source is done.
    m_begin = m_end;
    m_atEnd = true;
    return {p, available};
}
