#include "Harness.h"

#include <cstdio>
#include <memory>

#include <gtest/gtest.h>

#include "framework/CWinApp.h"

namespace
{
constexpr UINT kTickMs = 20;
constexpr int kMaxWaitTicks = 500; // 10 s: a hidden window can cost 2 s under Wine without a window manager
constexpr char kScriptClass[] = "TavrelTestScript";

bool IsDialogWindow(HWND hWnd)
{
    char szClass[16] = {};
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    return std::string_view(szClass) == "#32770";
}

// A CALLBACK (stdcall) function: on 32-bit Windows a lambda converts only to the default convention.
BOOL CALLBACK CollectDialog(HWND hWnd, LPARAM lParam)
{
    if (IsDialogWindow(hWnd))
    {
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    }
    return TRUE;
}
} // namespace

Script::Script()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kScriptClass;
    ::RegisterClassA(&wc); // fails harmlessly once the class exists
    m_hWnd = ::CreateWindowExA(0, kScriptClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Script::~Script()
{
    ::DestroyWindow(m_hWnd);
}

Script& Script::Wait(std::string what, std::function<bool()> ready)
{
    m_steps.push_back(Step{std::move(what), std::move(ready), {}});
    return *this;
}

Script& Script::Pause(int nTicks)
{
    auto nLeft = std::make_shared<int>(nTicks);
    return Wait("a pause", [nLeft] { return --*nLeft <= 0; });
}

Script& Script::Do(std::function<void()> action)
{
    m_steps.push_back(Step{"", {}, std::move(action)});
    return *this;
}

void Script::Run(const std::function<void()>& modal)
{
    ::SetTimer(m_hWnd, 1, kTickMs, nullptr);
    modal();
    ::KillTimer(m_hWnd, 1);
    if (m_nNext < m_steps.size())
    {
        ADD_FAILURE() << "the modal run ended before step " << m_nNext + 1 << " of " << m_steps.size() << " ("
                      << m_steps[m_nNext].what << ")";
    }
}

LRESULT CALLBACK Script::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER)
    {
        if (auto* pScript = reinterpret_cast<Script*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA)); pScript != nullptr)
        {
            pScript->Tick();
        }
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

void Script::Tick()
{
    if (m_nNext >= m_steps.size())
    {
        return;
    }
    Step& step = m_steps[m_nNext];
    if (step.ready)
    {
        if (step.ready())
        {
            ++m_nNext;
        }
        else if (++step.nTicks > kMaxWaitTicks)
        {
            Abort("timed out waiting for " + step.what);
        }
        return;
    }
    // Moves on first: the action may run a modal loop in which the following steps must go on.
    ++m_nNext;
    step.action();
}

void Script::Abort(const std::string& why)
{
    ADD_FAILURE() << why;
    m_nNext = m_steps.size();
    EndAllDialogs();
}

Watchdog::Watchdog(DWORD nSeconds)
    : m_nSeconds(nSeconds), m_hDone(::CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      m_hThread(::CreateThread(nullptr, 0, Watch, this, 0, nullptr))
{
}

Watchdog::~Watchdog()
{
    ::SetEvent(m_hDone.Get());
    ::WaitForSingleObject(m_hThread.Get(), INFINITE);
}

DWORD WINAPI Watchdog::Watch(void* pParam)
{
    const auto* pWatchdog = static_cast<const Watchdog*>(pParam);
    if (::WaitForSingleObject(pWatchdog->m_hDone.Get(), pWatchdog->m_nSeconds * 1000) == WAIT_TIMEOUT)
    {
        std::printf("watchdog: no end after %lu s\n", pWatchdog->m_nSeconds);
        std::fflush(stdout);
        ::ExitProcess(99);
    }
    return 0;
}

std::string TextOf(HWND hWnd)
{
    const auto nLength = ::SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(nLength) + 1, '\0');
    const auto nCopied = ::SendMessageA(hWnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(nCopied));
    return text;
}

std::pair<int, int> SelectionOf(HWND hEdit)
{
    DWORD nStart = 0;
    DWORD nEnd = 0;
    ::SendMessageA(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&nStart), reinterpret_cast<LPARAM>(&nEnd));
    return {static_cast<int>(nStart), static_cast<int>(nEnd)};
}

std::vector<HWND> ThreadDialogs()
{
    std::vector<HWND> dialogs;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

void EndAllDialogs()
{
    for (const HWND hDialog : ThreadDialogs())
    {
        ::EndDialog(hDialog, IDABORT);
    }
}

HWND FindDialog(std::string_view caption)
{
    for (const HWND hDialog : ThreadDialogs())
    {
        if (::IsWindowVisible(hDialog) && TextOf(hDialog) == caption)
        {
            return hDialog;
        }
    }
    return nullptr;
}

HWND FindMessageBox()
{
    return FindDialog(AfxGetApp()->GetAppTitle().View());
}

void CloseMessageBox(HWND hBox)
{
    ::PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hBox, IDOK)));
}
