#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// Reading the windows of another process. GetWindowText on another process's edit control returns
// its creation caption, not its text, and EM_GETSEL cannot write into our memory, so everything here
// goes through messages with a time limit, which the system marshals between processes.

namespace e2e
{

struct Selection
{
    int start = 0;
    int end = 0;
    bool operator==(const Selection&) const = default;
};

std::string ClassName(HWND hwnd);

// The window's text as WM_GETTEXT gives it; empty when the window does not answer in time.
std::string WindowText(HWND hwnd);

// The edit control's selection, from EM_GETSEL's packed result.
std::optional<Selection> EditSelection(HWND edit);

// The thread's focus and active windows (GetGUIThreadInfo), or null.
HWND FocusedWindow(DWORD threadId);
HWND ActiveWindow(DWORD threadId);

// Every top-level window of the process, shown or hidden.
std::vector<HWND> TopLevelWindows(DWORD processId);

} // namespace e2e
