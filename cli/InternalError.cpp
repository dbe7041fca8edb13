#include "cli/ExitStatus.h"
#include "framework/RuntimeFailure.h"

#include <cstdio>
#include <cstdlib>

// tavrelctl's failures that no command can report, such as running out of memory: one line that
// allocates nothing, and the status scripts know. Buffered output is dropped, not half flushed.
void EndOnRuntimeFailure() noexcept
{
    std::fputs("tavrelctl: internal error\n", stderr);
    std::_Exit(static_cast<int>(ExitStatus::Internal));
}
