#include "config/ConfigLineReader.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr char kEndOfFile = '\x1A';
} // namespace

std::size_t MemoryByteSource::Read(char* pBuffer, std::size_t nCapacity)
{
    const std::size_t n = std::min({nCapacity, m_nMaxChunk, m_bytes.size()});
    std::memcpy(pBuffer, m_bytes.data(), n);
    m_bytes.remove_prefix(n);
    return n;
}

ConfigLineReader::ConfigLineReader(ConfigByteSource& source, std::size_t nBufferSize)
    : m_source(source), m_nCapacity(std::max(nBufferSize, 2 * kWindow)),
      m_buffer(std::make_unique_for_overwrite<char[]>(m_nCapacity))
{
}

void ConfigLineReader::Refill()
{
    char* const pBuffer = m_buffer.get();
    if (m_nBegin > 0)
    {
        std::memmove(pBuffer, pBuffer + m_nBegin, m_nEnd - m_nBegin);
        m_nEnd -= m_nBegin;
        m_nBegin = 0;
    }
    while (!m_bSourceDone && m_nEnd < kWindow)
    {
        const std::size_t nRead = m_source.Read(pBuffer + m_nEnd, m_nCapacity - m_nEnd);
        if (nRead == 0)
        {
            m_bSourceDone = true;
            break;
        }
        // Ctrl-Z ends the file for reading: nothing after it is ever looked at.
        if (const void* pStop = std::memchr(pBuffer + m_nEnd, kEndOfFile, nRead))
        {
            m_nEnd = static_cast<std::size_t>(static_cast<const char*>(pStop) - pBuffer);
            m_bSourceDone = true;
            break;
        }
        m_nEnd += nRead;
    }
}

std::string_view ConfigLineReader::ReadLine()
{
    if (m_nEnd - m_nBegin < kWindow)
    {
        Refill();
    }
    const char* const p = m_buffer.get() + m_nBegin;
    const std::size_t nAvail = m_nEnd - m_nBegin;
    const std::size_t nScan = std::min(nAvail, kMaxLineBytes);

    if (const void* pLf = std::memchr(p, '\n', nScan))
    {
        const auto nLf = static_cast<std::size_t>(static_cast<const char*>(pLf) - p);
        m_nBegin += nLf + 1;
        const bool bCrLf = nLf > 0 && p[nLf - 1] == '\r';
        return {p, bCrLf ? nLf - 1 : nLf};
    }
    if (nScan == kMaxLineBytes)
    {
        // A CR LF right after 198 bytes is a line end; it counts as one byte stored.
        if (nAvail > kMaxLineBytes && p[kMaxLineBytes - 1] == '\r' && p[kMaxLineBytes] == '\n')
        {
            m_nBegin += kMaxLineBytes + 1;
            return {p, kMaxLineBytes - 1};
        }
        m_nBegin += kMaxLineBytes;
        return {p, kMaxLineBytes};
    }
    // Fewer bytes than a full line are left only when the source is done.
    m_nBegin = m_nEnd;
    m_bAtEnd = true;
    return {p, nAvail};
}
