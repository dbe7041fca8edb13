// The save as a user without rights to the file: this program runs as the user nobody
// (run-as-nobody.sh), so that the system's permission checks apply as they do to a user on Windows.
#include "tests/windows/save/SaveSupport.h"

#include "config/ConfigFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace
{

// Root's files of mode 644: in the first folder a rename over lan.cfg would be allowed, into the
// second nothing can be written.
TEST(Unprivileged, FileWeMayNotWriteIsRefused)
{
    for (const char* name : {"nobody-writable", "nobody-readonly"})
    {
        SCOPED_TRACE(name);
        const std::optional<WorkingFolder> inside = EnterPrepared(name);
        if (!inside)
        {
            return;
        }
        if (std::getenv("TAVREL_AS_NOBODY") == nullptr)
        {
            GTEST_SKIP() << "runs only as the user nobody, as run-as-nobody.sh starts it";
        }
        ASSERT_EQ(ReadFileBytes(kConfigFileName), kOriginal);
        ExpectRefused();
    }
}

} // namespace
