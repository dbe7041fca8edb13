#pragma once

#include <windows.h>

#include <span>
#include <string_view>

#include "Harness.h"
#include "ui/SettingsDlg.h"

inline constexpr char kValidLanCfg[] = "[GENERAL INFORMATION]\r\n"
                                       "SHELF_MNG_IP_ADDR=10.1.1.2\r\n"
                                       "SHELF_MNG_SUBNETMASK=255.255.255.0\r\n"
                                       "SHELF_MNG_DEFGATEWAY=10.1.1.1\r\n"
                                       "MANAGMENT_IP_ADDR=10.1.1.3\r\n"
                                       "MANAGMENT_SUBNETMASK=255.255.255.0\r\n"
                                       "MANAGMENT_DEFGATEWAY=10.1.1.1\r\n";

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
