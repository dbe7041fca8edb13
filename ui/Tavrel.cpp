#include "ui/SettingsApp.h"

// The one application object; WinMain finds it through its registration.
CSettingsApp theApp;
