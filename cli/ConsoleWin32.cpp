#include <windows.h>

#include "cli/Console.h"
#include "files/Wtf8.h"

#include <algorithm>
#include <cerrno>
#include <io.h>
#include <string>

namespace
{
// The bytes of the settings file as the system's ANSI code page reads them.
std::u16string AnsiToUtf16(std::string_view bytes)
{
    if (bytes.empty())
    {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int count = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(std::max(count, 0)), u'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(wide.data()), count);
    return wide;
}
} // namespace

ConsoleOutput::ConsoleOutput(std::FILE* file)
{
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode))
    {
        m_console = handle;
    }
}

int ConsoleOutput::Write(std::string_view text, TextKind kind) const
{
    const std::u16string wide = kind == TextKind::FileBytes ? AnsiToUtf16(text) : Wtf8ToUtf16(text);
    // In pieces, as older consoles take only so much at once; a piece never ends between the two
    // halves of a surrogate pair.
    constexpr std::size_t kPiece = 4096;
    std::size_t done = 0;
    while (done < wide.size())
    {
        std::size_t count = std::min(kPiece, wide.size() - done);
        if (done + count < wide.size() && wide[done + count - 1] >= 0xD800 && wide[done + count - 1] < 0xDC00)
        {
            --count;
        }
        DWORD written = 0;
        if (!::WriteConsoleW(static_cast<HANDLE>(m_console), wide.data() + done, static_cast<DWORD>(count), &written,
                             nullptr) ||
            written == 0)
        {
            return EIO;
        }
        done += written;
    }
    return 0;
}
