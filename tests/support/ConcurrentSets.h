#pragma once
// Two sets started together on the sample lan.cfg, each changing another setting: both changes land,
// or one set is refused with the lock's own status and writes nothing. Never does one silently undo
// the other. run starts tavrelctl with the arguments given, in the working folder.
#include "tests/support/ChildProcess.h"
#include "tests/support/SampleConfig.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <string>
#include <vector>

using TavrelCtlRunner = std::function<ProcessResult(const std::vector<std::string>&)>;

inline void ExpectConcurrentSetsLoseNoChange(int runs, const TavrelCtlRunner& run)
{
    const std::string busy = "tavrelctl: lan.cfg: being changed by another tavrelctl; try again\n";
    const std::vector<std::string> setUnit = {"set", "--control-unit", "10.1.1.4"};
    const std::vector<std::string> setRouter = {"set", "--default-router", "10.1.1.254"};
    for (int i = 0; i < runs; ++i)
    {
        SCOPED_TRACE(i);
        WriteFileBytes("lan.cfg", kSampleConfigText);
        auto first = std::async(std::launch::async, run, setUnit);
        auto second = std::async(std::launch::async, run, setRouter);
        const ProcessResult a = first.get();
        const ProcessResult b = second.get();
        EXPECT_TRUE((a.status == 0 || (a.status == 75 && a.err == busy)) &&
                    (b.status == 0 || (b.status == 75 && b.err == busy)))
            << a.status << " " << a.err << b.status << " " << b.err;
        EXPECT_EQ(ReadFileBytes("lan.cfg"),
                  CanonicalConfigText(a.status == 0 ? "10.1.1.4" : "10.1.1.3", "10.1.1.2", "255.255.255.0",
                                      b.status == 0 ? "10.1.1.254" : "10.1.1.1"));
    }
}
