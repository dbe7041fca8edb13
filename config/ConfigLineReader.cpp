#include "config/ConfigLineReader.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr char kEndOfFile = '\x1A';
} // namespace

std::size_t MemoryByteSource::Read(char* buffer, std::size_t capacity)
{
    const std::size_t n = std::min({capacity, maxChunk_, bytes_.size()});
    std::memcpy(buffer, bytes_.data(), n);
    bytes_.remove_prefix(n);
    return n;
}

ConfigLineReader::ConfigLineReader(ConfigByteSource& source, std::size_t bufferSize)
    : source_(source), capacity_(std::max(bufferSize, 2 * kWindow)),
      buffer_(std::make_unique_for_overwrite<char[]>(capacity_))
{
}

void ConfigLineReader::Refill()
{
    char* const buffer = buffer_.get();
    if (begin_ > 0)
    {
        std::memmove(buffer, buffer + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    while (!sourceDone_ && end_ < kWindow)
    {
        const std::size_t count = source_.Read(buffer + end_, capacity_ - end_);
        if (count == 0)
        {
            sourceDone_ = true;
            break;
        }
        // Ctrl-Z ends the file for reading: nothing after it is ever looked at.
        if (const void* stop = std::memchr(buffer + end_, kEndOfFile, count))
        {
            end_ = static_cast<std::size_t>(static_cast<const char*>(stop) - buffer);
            sourceDone_ = true;
            break;
        }
        end_ += count;
    }
}

std::string_view ConfigLineReader::ReadLine()
{
    if (end_ - begin_ < kWindow)
    {
        Refill();
    }
    const char* const p = buffer_.get() + begin_;
    const std::size_t available = end_ - begin_;
    const std::size_t scanned = std::min(available, kMaxLineBytes);

    if (const void* lfAt = std::memchr(p, '\n', scanned))
    {
        const auto lf = static_cast<std::size_t>(static_cast<const char*>(lfAt) - p);
        begin_ += lf + 1;
        const bool crLf = lf > 0 && p[lf - 1] == '\r';
        return {p, crLf ? lf - 1 : lf};
    }
    if (scanned == kMaxLineBytes)
    {
        // A CR LF right after 198 bytes is a line end; it counts as one byte stored.
        if (available > kMaxLineBytes && p[kMaxLineBytes - 1] == '\r' && p[kMaxLineBytes] == '\n')
        {
            begin_ += kMaxLineBytes + 1;
            return {p, kMaxLineBytes - 1};
        }
        begin_ += kMaxLineBytes;
        return {p, kMaxLineBytes};
    }
    // Fewer bytes than a full line are left only when the source is done.
    begin_ = end_;
    atEnd_ = true;
    return {p, available};
}
