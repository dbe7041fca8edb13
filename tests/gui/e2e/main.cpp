// Starts the real Tavrel.exe and drives it from outside as a person would.
// Usage: e2e_driver TAVREL_EXE CASE|all, or e2e_driver --list.

#include "tests/gui/e2e/CaseSupport.h"

#include <vector>

int main(int argc, char** argv)
{
    std::vector<e2e::Case> cases;
    for (const auto group : {e2e::SettingsDialogCases(), e2e::KeystrokeFilterCases(), e2e::MenuCases()})
        cases.insert(cases.end(), group.begin(), group.end());
    return e2e::RunCases(cases, argc, argv);
}
