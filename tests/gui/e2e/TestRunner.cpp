#include "tests/gui/e2e/TestRunner.h"

#include <algorithm>
#include <cstdio>

namespace e2e
{

void Context::Fail(const char* file, int line, const std::string& what)
{
    ++m_nFailures;
    std::printf("%s:%d: %s%s%s\n", file, line, m_strScope.empty() ? "" : "[", m_strScope.c_str(),
                m_strScope.empty() ? "" : "] ");
    std::printf("    %s\n", what.c_str());
    std::fflush(stdout);
}

std::string Quote(std::string_view bytes)
{
    static constexpr char hex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char ch : bytes)
    {
        const auto byte = static_cast<unsigned char>(ch);
        switch (ch)
        {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '"':
        case '\\':
            out += '\\';
            out += ch;
            break;
        default:
            if (byte < 0x20 || byte >= 0x7F)
            {
                out += "\\x";
                out += hex[byte >> 4];
                out += hex[byte & 0xF];
            }
            else
            {
                out += ch;
            }
        }
    }
    return out + "\"";
}

namespace
{

// Converts a Unix path (as CMake hands it over under Wine) to the drive Wine maps the root to.
std::string WindowsPath(std::string path)
{
    if (path.empty() || path.front() != '/')
        return path;
    for (char& ch : path)
    {
        if (ch == '/')
            ch = '\\';
    }
    return "Z:" + path;
}

bool RunOne(const Case& c, const std::string& exe)
{
    std::printf("[ RUN  ] %.*s\n", static_cast<int>(c.name.size()), c.name.data());
    std::fflush(stdout);
    Context t(exe);
    c.run(t);
    const bool passed = t.Failures() == 0;
    std::printf("[ %s ] %.*s\n", passed ? " OK " : "FAIL", static_cast<int>(c.name.size()), c.name.data());
    std::fflush(stdout);
    return passed;
}

// Compares the cases the build registered as tests with the cases compiled in, so that a case
// never silently goes unrun.
int CheckRegistered(std::span<const Case> cases, std::span<char*> registered)
{
    int passed = 0;
    int failed = 0;
    for (const Case& c : cases)
    {
        const bool found =
            std::any_of(registered.begin(), registered.end(), [&](const char* name) { return c.name == name; });
        ++(found ? passed : failed);
        if (!found)
            std::printf("case %.*s is not registered as a test\n", static_cast<int>(c.name.size()), c.name.data());
    }
    for (const char* name : registered)
    {
        if (std::none_of(cases.begin(), cases.end(), [&](const Case& c) { return c.name == name; }))
        {
            ++failed;
            std::printf("test %s names no case\n", name);
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}

} // namespace

int RunCases(std::span<const Case> cases, int argc, char** argv)
{
    const std::span<char*> args(argv, static_cast<size_t>(argc));
    if (argc == 2 && std::string_view(argv[1]) == "--list")
    {
        for (const Case& c : cases)
            std::printf("%.*s\n", static_cast<int>(c.name.size()), c.name.data());
        return 0;
    }
    if (argc >= 2 && std::string_view(argv[1]) == "--registered")
        return CheckRegistered(cases, args.subspan(2));
    if (argc != 3)
    {
        std::printf("usage: %s TAVREL_EXE CASE|all\n       %s --list\n       %s --registered NAME...\n", argv[0],
                    argv[0], argv[0]);
        return 2;
    }
    const std::string exe = WindowsPath(argv[1]);
    const std::string_view wanted = argv[2];
    int passed = 0;
    int failed = 0;
    for (const Case& c : cases)
    {
        if (wanted != "all" && wanted != c.name)
            continue;
        ++(RunOne(c, exe) ? passed : failed);
    }
    if (passed + failed == 0)
    {
        std::printf("no case named %s\n", argv[2]);
        return 2;
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}

} // namespace e2e
