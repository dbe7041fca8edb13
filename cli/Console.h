#pragma once

#include <cstdio>
#include <string_view>

// What a piece of output holds, which decides how a Windows console shows it.
enum class TextKind
{
    // The program's own text, file names and arguments: bytes on POSIX, WTF-8 on Windows.
    Program,
    // Bytes of the settings file: 8-bit text, read in the system's ANSI code page on Windows.
    FileBytes,
};

// A Windows console shows characters, not bytes: bytes written to it are read in the console's own
// code page (866, say), so a name in UTF-8 or a byte of the file shows as other characters. Where a
// standard stream is a console, text goes to it as characters (WriteConsoleW), each kind converted
// by its own rule; redirected output, and every stream elsewhere, stays bytes.
class ConsoleOutput
{
public:
    // Looks once whether file is a console.
    explicit ConsoleOutput(std::FILE* file);

    bool IsConsole() const { return m_console != nullptr; }
    // Writes text to the console as characters; 0, or the error number of a failed write.
    int Write(std::string_view text, TextKind kind) const;

private:
    void* m_console = nullptr;
};

#ifndef _WIN32
inline ConsoleOutput::ConsoleOutput(std::FILE*) {}

inline int ConsoleOutput::Write(std::string_view, TextKind) const
{
    return 0;
}
#endif
