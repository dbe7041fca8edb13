#pragma once

#include <windows.h>

#include "files/win32/UniqueHandle.h"
#include "res/resource.h"
#include "tests/windows/e2e/RemoteWindow.h"
#include "tests/support/TempFolder.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

// One run of the real Tavrel.exe in a fresh folder of its own, seen and driven from outside.

namespace e2e
{

// What a message box showed.
struct MessageBoxSeen
{
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;
};

class TavrelProcess
{
public:
    // Starts Tavrel in a new folder holding lan.cfg with these bytes, or no lan.cfg at all.
    TavrelProcess(const std::string& exe, std::optional<std::string_view> lanCfg);
    // Ends the program if it still runs, so a failed case never leaves it behind.
    ~TavrelProcess();
    TavrelProcess(const TavrelProcess&) = delete;
    TavrelProcess& operator=(const TavrelProcess&) = delete;

    bool Started() const { return m_hProcess.IsValid(); }
    // Waits until the settings dialog is shown with the focus in the Control Unit field (loaded),
    // then brings it to the foreground so that typed keys reach it.
    bool WaitForDialog();
    HWND Dialog() const { return m_hDialog; }
    HWND Control(int id) const { return ::GetDlgItem(m_hDialog, id); }

    std::string Text(int id) const { return WindowText(Control(id)); }
    std::optional<Selection> Sel(int id) const { return EditSelection(Control(id)); }
    // Id of the settings dialog's control that has the keyboard focus; 0 when none of them has it.
    int FocusId() const;

    bool WaitForFocus(int id) const;

    // Types the characters one by one into whatever has the focus, each time waiting for the focused
    // control's text to change; stops early (false) when a message box comes up.
    bool Type(std::string_view chars) const;
    // Presses a key; the result is for the caller to wait for.
    void Key(WORD vk, unsigned modifiers = 0) const;

    // A message box of the program (the settings dialog and the About box are not), or null.
    HWND FindMessageBox() const;
    HWND FindWindowCaptioned(std::string_view caption) const;
    // Waits until a popup menu of the program is open (its items cannot be read from outside).
    bool WaitForMenu() const;
    // Waits until a message box is shown and active, and reads it.
    std::optional<MessageBoxSeen> WaitForMessageBox() const;
    // True when no message box appears within the time given.
    bool NoMessageBoxFor(std::chrono::milliseconds span) const;
    // Presses Enter in the box, as a person would, and waits until it is destroyed.
    bool CloseMessageBox(const MessageBoxSeen& box) const;

    bool WaitForExit();
    bool Running() const;

    std::optional<std::string> LanCfg() const;
    bool SetLanCfgReadOnly(bool readOnly) const;

private:
    std::string LanCfgPath() const { return (m_folder.Path() / "lan.cfg").string(); }

    TempFolder m_folder{TempFolder::Use::AsPath};
    KernelHandle m_hProcess;
    KernelHandle m_hThread;
    DWORD m_nProcessId = 0;
    HWND m_hDialog = nullptr;
    DWORD m_nUiThread = 0;
};

} // namespace e2e
