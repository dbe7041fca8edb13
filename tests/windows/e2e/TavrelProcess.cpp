#include "tests/windows/e2e/TavrelProcess.h"

#include "tests/windows/e2e/Keyboard.h"
#include "tests/windows/e2e/Wait.h"
#include "tests/support/WineStartRetry.h"

#include <cstdio>

namespace e2e
{

namespace
{

constexpr int kMessageBoxTextId = 0xFFFF;
constexpr std::string_view kAboutCaption = "About Tavrel";

bool IsDialogWindow(HWND hwnd)
{
    return ClassName(hwnd) == "#32770";
}

} // namespace

TavrelProcess::TavrelProcess(const std::string& exe, std::optional<std::string_view> lanCfg)
{
    if (lanCfg)
    {
        WriteFileBytes(LanCfgPath(), *lanCfg);
    }
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const std::string folder = m_folder.Path().string();
    if (!StartRetryingWineFault(
            [&]
            {
                return ::CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        folder.c_str(), &si, &pi) != FALSE;
            }))
    {
        std::printf("cannot start %s (error %lu)\n", exe.c_str(), ::GetLastError());
        return;
    }
    m_hProcess.Reset(pi.hProcess);
    m_hThread.Reset(pi.hThread);
    m_nProcessId = pi.dwProcessId;
}

TavrelProcess::~TavrelProcess()
{
    if (!Started())
    {
        return;
    }
    if (Running())
    {
        std::printf("ending Tavrel, which is still running\n");
        ::TerminateProcess(m_hProcess.Get(), 1);
        ::WaitForSingleObject(m_hProcess.Get(), 5000);
    }
}

bool TavrelProcess::WaitForDialog()
{
    if (!Started())
    {
        return false;
    }
    const bool shown = WaitUntil(
        [&]
        {
            for (HWND hwnd : TopLevelWindows(m_nProcessId))
            {
                if (IsDialogWindow(hwnd) && ::IsWindowVisible(hwnd) && ::GetDlgItem(hwnd, IDC_CONTROL_UNIT_IP))
                {
                    m_hDialog = hwnd;
                    return true;
                }
            }
            return !Running();
        },
        kStartLimit);
    if (!shown || !m_hDialog)
    {
        return false;
    }
    m_nUiThread = ::GetWindowThreadProcessId(m_hDialog, nullptr);
    if (!WaitForFocus(IDC_CONTROL_UNIT_IP))
    {
        return false;
    }
    // Under Wine another process may take the foreground this way; on Windows the foreground lock
    // may refuse it unless the driver itself is foreground.
    return WaitUntil(
        [&]
        {
            if (::GetForegroundWindow() == m_hDialog)
            {
                return true;
            }
            ::SetForegroundWindow(m_hDialog);
            return false;
        });
}

int TavrelProcess::FocusId() const
{
    HWND hwnd = FocusedWindow(m_nUiThread);
    if (!hwnd || ::GetParent(hwnd) != m_hDialog)
    {
        return 0;
    }
    return ::GetDlgCtrlID(hwnd);
}

bool TavrelProcess::WaitForFocus(int id) const
{
    return WaitUntil([&] { return FocusId() == id; });
}

bool TavrelProcess::Type(std::string_view chars) const
{
    for (const char ch : chars)
    {
        HWND focus = FocusedWindow(m_nUiThread);
        const std::string before = WindowText(focus);
        TypeChar(ch);
        if (!WaitUntil([&] { return FindMessageBox() || WindowText(focus) != before; }))
        {
            return false;
        }
        if (FindMessageBox())
        {
            return false;
        }
    }
    return true;
}

void TavrelProcess::Key(WORD vk, unsigned modifiers) const
{
    PressKey(vk, modifiers);
}

HWND TavrelProcess::FindMessageBox() const
{
    for (HWND hwnd : TopLevelWindows(m_nProcessId))
    {
        if (hwnd != m_hDialog && IsDialogWindow(hwnd) && WindowText(hwnd) != kAboutCaption)
        {
            return hwnd;
        }
    }
    return nullptr;
}

HWND TavrelProcess::FindWindowCaptioned(std::string_view caption) const
{
    for (HWND hwnd : TopLevelWindows(m_nProcessId))
    {
        if (::IsWindowVisible(hwnd) && WindowText(hwnd) == caption)
        {
            return hwnd;
        }
    }
    return nullptr;
}

bool TavrelProcess::WaitForMenu() const
{
    return WaitUntil(
        [&]
        {
            for (HWND hwnd : TopLevelWindows(m_nProcessId))
            {
                if (::IsWindowVisible(hwnd) && ClassName(hwnd) == "#32768")
                {
                    return true;
                }
            }
            return false;
        });
}

std::optional<MessageBoxSeen> TavrelProcess::WaitForMessageBox() const
{
    HWND box = nullptr;
    // The box is created hidden and shown a little later; Enter pressed before it is active would
    // reach the settings dialog instead.
    const bool ready = WaitUntil(
        [&]
        {
            box = FindMessageBox();
            return box && ::IsWindowVisible(box) && ActiveWindow(m_nUiThread) == box && ::GetForegroundWindow() == box;
        });
    if (!ready)
    {
        return std::nullopt;
    }
    return MessageBoxSeen{box, WindowText(box), WindowText(::GetDlgItem(box, kMessageBoxTextId))};
}

bool TavrelProcess::NoMessageBoxFor(std::chrono::milliseconds span) const
{
    return !WaitUntil([&] { return FindMessageBox() != nullptr; }, span);
}

bool TavrelProcess::CloseMessageBox(const MessageBoxSeen& box) const
{
    PressKey(VK_RETURN);
    // A closed box is first hidden and only later destroyed; until then it still counts.
    return WaitUntil([&] { return !::IsWindow(box.hwnd); }, kExitLimit);
}

bool TavrelProcess::WaitForExit()
{
    if (!Started())
    {
        return false;
    }
    return ::WaitForSingleObject(m_hProcess.Get(), static_cast<DWORD>(kExitLimit.count())) == WAIT_OBJECT_0;
}

bool TavrelProcess::Running() const
{
    return Started() && ::WaitForSingleObject(m_hProcess.Get(), 0) == WAIT_TIMEOUT;
}

std::optional<std::string> TavrelProcess::LanCfg() const
{
    return ReadFileBytes(LanCfgPath());
}

bool TavrelProcess::SetLanCfgReadOnly(bool readOnly) const
{
    return ::SetFileAttributesA(LanCfgPath().c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL) !=
           FALSE;
}

} // namespace e2e
