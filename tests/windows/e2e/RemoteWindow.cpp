#include "tests/windows/e2e/RemoteWindow.h"

namespace e2e
{

namespace
{

constexpr UINT kMessageLimitMs = 2000;

std::optional<LRESULT> Ask(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(hwnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, kMessageLimitMs, &result))
    {
        return std::nullopt;
    }
    return static_cast<LRESULT>(result);
}

std::optional<GUITHREADINFO> ThreadInfo(DWORD threadId)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(threadId, &info))
    {
        return std::nullopt;
    }
    return info;
}

} // namespace

std::string ClassName(HWND hwnd)
{
    char name[64]{};
    const int n = ::GetClassNameA(hwnd, name, static_cast<int>(sizeof name));
    return std::string(name, n > 0 ? static_cast<size_t>(n) : 0u);
}

std::string WindowText(HWND hwnd)
{
    const auto length = Ask(hwnd, WM_GETTEXTLENGTH, 0, 0);
    if (!length || *length < 0)
    {
        return {};
    }
    std::string text(static_cast<size_t>(*length) + 1, '\0');
    const auto copied = Ask(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    if (!copied || *copied < 0)
    {
        return {};
    }
    text.resize(static_cast<size_t>(*copied));
    return text;
}

std::optional<Selection> EditSelection(HWND edit)
{
    const auto packed = Ask(edit, EM_GETSEL, 0, 0);
    if (!packed)
    {
        return std::nullopt;
    }
    const auto bits = static_cast<DWORD>(*packed);
    return Selection{LOWORD(bits), HIWORD(bits)};
}

HWND FocusedWindow(DWORD threadId)
{
    const auto info = ThreadInfo(threadId);
    return info ? info->hwndFocus : nullptr;
}

HWND ActiveWindow(DWORD threadId)
{
    const auto info = ThreadInfo(threadId);
    return info ? info->hwndActive : nullptr;
}

namespace
{
struct WindowSearch
{
    DWORD processId;
    std::vector<HWND> found;
};

// A window-enumeration callback must be a CALLBACK (stdcall) function: on 32-bit Windows a lambda
// converts only to a function of the default calling convention.
BOOL CALLBACK CollectProcessWindow(HWND hwnd, LPARAM lParam)
{
    auto& search = *reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search.processId)
    {
        search.found.push_back(hwnd);
    }
    return TRUE;
}
} // namespace

std::vector<HWND> TopLevelWindows(DWORD processId)
{
    WindowSearch search{processId, {}};
    ::EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace e2e
