#include <windows.h>

#include <gtest/gtest.h>

#include "Harness.h"
#include "ui/SettingsApp.h"

// Runs the real settings dialog, made from the real template, in this process.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // The application object the dialog expects, as in the program.
    CSettingsApp app;
    const Watchdog watchdog(240);
    return RUN_ALL_TESTS();
}
