#pragma once

#include <windows.h>

#include "files/win32/UniqueHandle.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Steps run one after another from a timer of the test thread. Timer messages are dispatched by
// every modal loop, so the steps go on while the code under test waits in a dialog or message box:
// a Do step that opens a modal window blocks, and the steps after it run inside that window's loop.
// Every Wait is bounded; when one runs out, the case fails and every dialog of the thread is ended.
class Script
{
public:
    Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;
    ~Script();

    // Waits until ready() holds.
    Script& Wait(std::string what, std::function<bool()> ready);
    // Lets nTicks timer ticks pass: time for posted input to be handled.
    Script& Pause(int nTicks);
    // Runs action once.
    Script& Do(std::function<void()> action);
    // Runs modal (typically a DoModal call) while the steps are driven; fails the case for steps
    // that never ran.
    void Run(const std::function<void()>& modal);

private:
    struct Step
    {
        std::string what;
        std::function<bool()> ready;
        std::function<void()> action;
        int nTicks = 0;
    };

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Tick();
    void Abort(const std::string& why);

    HWND m_hWnd = nullptr;
    std::vector<Step> m_steps;
    std::size_t m_nNext = 0;
};

// Ends the process with code 99 when a case hangs in spite of the bounded waits.
class Watchdog
{
public:
    explicit Watchdog(DWORD nSeconds);
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    ~Watchdog();

private:
    static DWORD WINAPI Watch(void* pParam);

    DWORD m_nSeconds;
    KernelHandle m_hDone;
    KernelHandle m_hThread;
};

std::string TextOf(HWND hWnd);
// Start and end of an edit control's selection.
std::pair<int, int> SelectionOf(HWND hEdit);
// Top-level dialogs of this thread, message boxes included, topmost first.
std::vector<HWND> ThreadDialogs();
// The visible dialog of this thread with this caption, or null.
HWND FindDialog(std::string_view caption);
// The message box showing, or null: message boxes are captioned with the application's title.
HWND FindMessageBox();
// Ends every dialog of this thread, message boxes included.
void EndAllDialogs();
// Ends a message box with its OK button.
void CloseMessageBox(HWND hBox);
