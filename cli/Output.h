#pragma once

#include "cli/Console.h"

#include <cstdio>
#include <string>
#include <string_view>

// Bytes of the settings file, written as they are but shown by a Windows console in the ANSI code
// page; everything else written is the program's own text (Console.h).
struct FileBytes
{
    std::string_view bytes;
};

// One of the program's output streams, written through stdio, or to the console where it is one on
// Windows. A failed write is remembered rather than acted on line by line; FinishOutput tells at the
// end, as coreutils' close_stdout does.
class OutputStream
{
public:
    explicit OutputStream(std::FILE* file) : m_file(file), m_console(file) {}

    OutputStream& operator<<(std::string_view text) { return Write(text, TextKind::Program); }
    OutputStream& operator<<(char ch) { return *this << std::string_view(&ch, 1); }
    OutputStream& operator<<(FileBytes text) { return Write(text.bytes, TextKind::FileBytes); }

    std::FILE* File() const { return m_file; }
    // The error number of the first failed write, or 0.
    int Error() const { return m_error; }

private:
    OutputStream& Write(std::string_view text, TextKind kind);

    std::FILE* m_file;
    ConsoleOutput m_console;
    int m_error = 0;
};

// The C library's text for an error number, in lower case to read as part of a message line.
std::string DescribeError(int error);

// On POSIX, a standard stream that was closed when the program started is given /dev/null opened
// the wrong way round, so that no file opened later becomes standard output and so that writing to
// a closed output still fails. Called first thing.
void ReserveStandardStreams();

// Flushes and closes standard output and returns the exit status to end with: status, or 2 when the
// output could not all be written, told on err in one line. A broken pipe is not told: the reader
// went away on purpose.
int FinishOutput(int status, OutputStream& out, OutputStream& err);
