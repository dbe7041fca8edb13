#pragma once

#include <windows.h>

#include <string_view>

#include <gtest/gtest.h>

#include "Harness.h"
#include "config/ConfigFile.h"
#include "tests/support/SampleConfig.h"
#include "tests/support/TempFolder.h"
#include "ui/SettingsDlg.h"

inline constexpr std::string_view kValidLanCfg = kSampleConfigText;

// One run of the real settings dialog in a fresh working folder, made the application's main window
// as the program makes it. Add steps to script, then Run().
struct DialogRun
{
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

// Gives the case's working folder a lan.cfg with these bytes.
inline void WriteLanCfg(std::string_view content)
{
    WriteFileBytes(kConfigFileName, content);
}
