#include "cli/Output.h"
#include "cli/TavrelCtl.h"
#include "framework/RuntimeFailure.h"

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include "files/Wtf8.h"
#include "framework/DllSearchPath.h"

#include <fcntl.h>
#include <io.h>
#endif

namespace
{
int Run(const std::vector<std::string>& arguments)
{
    // Where exceptions exist, an allocation that fails throws and nothing catches it; on Windows the
    // program has none, and the runtime's failures end it the same way.
    std::set_terminate(EndOnRuntimeFailure);
    OutputStream out(stdout);
    OutputStream err(stderr);
    const std::vector<std::string_view> args(arguments.begin(), arguments.end());
    const ExitStatus status = RunTavrelCtl(args, out, err);
    return FinishOutput(static_cast<int>(status), out, err);
}
} // namespace

#ifdef _WIN32
// The wide command line: a --file in a folder whose name the ANSI code page lacks arrives whole, as
// WTF-8, which the file layer turns back into the system's name.
int wmain(int argc, wchar_t** argv)
{
    LoadDllsFromSystemFolderOnly();
    // Lines end in a bare line feed on every platform, so that scripts see the same bytes.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
    {
        const std::wstring_view arg(argv[i]);
        arguments.push_back(Utf16ToWtf8(std::u16string(arg.begin(), arg.end())));
    }
    return Run(arguments);
}
#else
int main(int argc, char** argv)
{
    ReserveStandardStreams();
    return Run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
