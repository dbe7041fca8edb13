#include <windows.h>

#include "tests/support/ChildProcess.h"
#include "files/win32/UniqueHandle.h"
#include "files/win32/WidePath.h"
#include "tests/support/WineStartRetry.h"

namespace
{
constexpr DWORD kTimeLimitMs = 60'000;

// A file the child writes one stream into, gone once closed: the child never waits for a reader.
FileHandle OpenCapture(SECURITY_ATTRIBUTES& inherit)
{
    char folder[MAX_PATH]{};
    char name[MAX_PATH]{};
    if (::GetTempPathA(MAX_PATH, folder) == 0 || ::GetTempFileNameA(folder, "tvc", 0, name) == 0)
    {
        return FileHandle();
    }
    return FileHandle(::CreateFileA(name, GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

std::string ReadCapture(const FileHandle& file)
{
    std::string bytes;
    ::SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN);
    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &n, nullptr) && n > 0)
    {
        bytes.append(buffer, n);
    }
    return bytes;
}

// Quoted so that the C runtime's parser gives the child exactly this argument back.
std::string Quote(const std::string& arg)
{
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos)
    {
        return arg;
    }
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char ch : arg)
    {
        if (ch == '\\')
        {
            ++backslashes;
            continue;
        }
        quoted.append(ch == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        quoted += ch;
        backslashes = 0;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}
} // namespace

// Program and arguments are WTF-8: a name the ANSI code page lacks reaches the child whole.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, bool)
{
    std::string line = Quote(program);
    for (const std::string& arg : args)
    {
        line += " " + Quote(arg);
    }
    std::wstring commandLine = WidePath(line);
    const std::wstring programName = WidePath(program);

    ProcessResult result;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const FileHandle in(
        ::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
    const FileHandle out = OpenCapture(inherit);
    const FileHandle err = OpenCapture(inherit);
    if (!in.IsValid() || !out.IsValid() || !err.IsValid())
    {
        return result;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.Get();
    startup.hStdOutput = out.Get();
    startup.hStdError = err.Get();
    PROCESS_INFORMATION process{};
    if (!StartRetryingWineFault(
            [&]
            {
                return ::CreateProcessW(programName.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process) != FALSE;
            }))
    {
        return result;
    }
    const KernelHandle thread(process.hThread);
    const KernelHandle child(process.hProcess);
    DWORD code = 0;
    if (::WaitForSingleObject(child.Get(), kTimeLimitMs) != WAIT_OBJECT_0)
    {
        ::TerminateProcess(child.Get(), 1);
        ::WaitForSingleObject(child.Get(), kTimeLimitMs);
    }
    else if (::GetExitCodeProcess(child.Get(), &code))
    {
        result.status = static_cast<int>(code);
    }
    result.out = ReadCapture(out);
    result.err = ReadCapture(err);
    return result;
}
