#include <windows.h>

#include <cstdio>
#include <string_view>

#include "DialogRun.h"
#include "ui/SettingsApp.h"

// Runs the cases whose name starts with the first argument (all without one) against the real
// settings dialog, made from the real template, in this process.
int main(int argc, char** argv)
{
    CSettingsApp app;
    const Watchdog watchdog(240);
    const std::string_view prefix = argc > 1 ? argv[1] : "";

    int nPassed = 0;
    int nFailed = 0;
    for (const auto group : {LayoutCases(), DecorationCases(), KeystrokeCases(), ExchangeCases()})
    {
        for (const TestCase& test : group)
        {
            if (!std::string_view(test.name).starts_with(prefix))
            {
                continue;
            }
            Checks checks;
            test.run(checks);
            std::printf("%s %s\n", checks.Failures().empty() ? "[  OK  ]" : "[FAILED]", test.name);
            for (const std::string& failure : checks.Failures())
            {
                std::printf("    %s\n", failure.c_str());
            }
            std::fflush(stdout);
            (checks.Failures().empty() ? nPassed : nFailed) += 1;
        }
    }
    std::printf("%d passed, %d failed\n", nPassed, nFailed);
    return nFailed == 0 && nPassed > 0 ? 0 : 1;
}
