#include "cli/Output.h"

#include "cli/ExitStatus.h"

#include <cerrno>
#include <cstring>
#include <string>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace
{
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

OutputStream& OutputStream::operator<<(std::string_view text)
{
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), m_file) != text.size() && m_error == 0)
    {
        m_error = errno != 0 ? errno : EIO;
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
    errno = 0;
    if (std::fflush(out.File()) != 0 && error == 0)
    {
        error = errno != 0 ? errno : EIO;
    }
    errno = 0;
    if (std::fclose(out.File()) != 0 && error == 0)
    {
        error = errno != 0 ? errno : EIO;
    }
    if (error != 0)
    {
        if (error != EPIPE)
        {
            err << "tavrelctl: cannot write the output: " << DescribeError(error) << '\n';
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
