#include "cli/Output.h"

#include "cli/ExitStatus.h"
#include "cli/QuoteControls.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace
{
#ifdef _WIN32
// Windows' system error codes for a pipe whose reader has gone.
constexpr unsigned long kBrokenPipe = 109;
constexpr unsigned long kPipeClosing = 232;
constexpr unsigned long kPipeNotConnected = 233;
#endif

void ClearWriteError()
{
    errno = 0;
#ifdef _WIN32
    _doserrno = 0;
#endif
}

// The error number of the write or flush that just failed. The Windows C runtime turns a broken pipe
// into EINVAL; the system's own code, which it keeps, tells it apart.
int LastWriteError()
{
#ifdef _WIN32
    if (_doserrno == kBrokenPipe || _doserrno == kPipeClosing || _doserrno == kPipeNotConnected)
    {
        return EPIPE;
    }
#endif
    return errno != 0 ? errno : EIO;
}

// The stream's first error, or where stdio kept only the flag, an input/output error.
int StreamError(const OutputStream& stream)
{
    if (stream.Error() != 0)
    {
        return stream.Error();
    }
    return std::ferror(stream.File()) ? EIO : 0;
}
} // namespace

std::string DescribeError(int error)
{
    std::string text = std::strerror(error);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
    {
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    }
    return text;
}

OutputStream& OutputStream::Write(std::string_view text, TextKind kind)
{
    if (m_console.IsConsole())
    {
        if (const int error = m_console.Write(text, kind); error != 0 && m_error == 0)
        {
            m_error = error;
        }
        return *this;
    }
    ClearWriteError();
    // A line-buffered stream takes a whole line and only then fails to write it out: its error flag
    // tells that, and errno still holds the system's reason.
    if ((std::fwrite(text.data(), 1, text.size(), m_file) != text.size() || std::ferror(m_file)) && m_error == 0)
    {
        m_error = LastWriteError();
    }
    return *this;
}

void ReserveStandardStreams()
{
#ifndef _WIN32
    for (int fd = 0; fd <= 2; ++fd)
    {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF)
        {
            // open takes the lowest free number, which is fd. Read-only where the program writes,
            // write-only where it reads: a closed stream stays unusable.
            ::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
        }
    }
#endif
}

int FinishOutput(int status, OutputStream& out, OutputStream& err)
{
    int error = StreamError(out);
    ClearWriteError();
    if (std::fflush(out.File()) != 0 && error == 0)
    {
        error = LastWriteError();
    }
    ClearWriteError();
    if (std::fclose(out.File()) != 0 && error == 0)
    {
        error = LastWriteError();
    }
    if (error != 0)
    {
        if (error != EPIPE)
        {
            err << QuoteControls("tavrelctl: cannot write the output: " + DescribeError(error)) << '\n';
        }
        status = static_cast<int>(ExitStatus::FileError);
    }
    // Messages that could not be written cannot be told either; the status still says so.
    if ((StreamError(err) != 0 || std::fflush(err.File()) != 0) && status == 0)
    {
        status = static_cast<int>(ExitStatus::FileError);
    }
    return status;
}
