#pragma once

#include <windows.h>

#include <span>
#include <string_view>

#include "Harness.h"
#include "tests/support/SampleConfig.h"
#include "ui/SettingsDlg.h"

inline constexpr std::string_view kValidLanCfg = kSampleConfigText;

// One run of the real settings dialog in a fresh working folder, made the application's main window
// as the program makes it. Add steps to script, then Run().
struct DialogRun
{
    explicit DialogRun(Checks& checks) : script(checks) {}

    HWND Dlg() const { return dlg.GetSafeHwnd(); }
    HWND Item(int nID) const { return ::GetDlgItem(dlg.GetSafeHwnd(), nID); }
    // The first step of every case: the dialog is up and has placed its focus.
    Script& WaitUntilShown();
    void Run();

    TempFolder folder;
    CSettingsDlg dlg;
    Script script;
    INT_PTR nResult = 0;
};

struct TestCase
{
    const char* name;
    void (*run)(Checks& checks);
};

std::span<const TestCase> LayoutCases();
std::span<const TestCase> DecorationCases();
std::span<const TestCase> KeystrokeCases();
std::span<const TestCase> ExchangeCases();
