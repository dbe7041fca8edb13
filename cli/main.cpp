#include "cli/Output.h"
#include "cli/TavrelCtl.h"

#include <cstdio>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv)
{
    ReserveStandardStreams();
#ifdef _WIN32
    // Lines end in a bare line feed on every platform, so that scripts see the same bytes.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    OutputStream out(stdout);
    OutputStream err(stderr);
    int status = 0;
    try
    {
        const std::vector<std::string_view> args(argv + 1, argv + argc);
        status = static_cast<int>(RunTavrelCtl(args, out, err));
    }
    catch (...)
    {
        // In practice only allocation can fail here, so the message allocates nothing.
        std::fputs("tavrelctl: internal error\n", stderr);
        status = static_cast<int>(ExitStatus::Internal);
    }
    return FinishOutput(status, out, err);
}
