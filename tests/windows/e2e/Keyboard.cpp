#include "tests/windows/e2e/Keyboard.h"

#include "tests/windows/e2e/Wait.h"

#include <cstring>
#include <vector>

namespace e2e
{

namespace
{

bool IsExtendedKey(WORD vk)
{
    switch (vk)
    {
    case VK_HOME:
    case VK_END:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_INSERT:
    case VK_DELETE:
        return true;
    default:
        return false;
    }
}

INPUT KeyInput(WORD vk, bool up)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0u) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0u);
    return in;
}

void Send(std::vector<INPUT>& inputs)
{
    ::SendInput(static_cast<UINT>(std::ssize(inputs)), inputs.data(), sizeof(INPUT));
}

} // namespace

void PressKey(WORD vk, unsigned modifiers)
{
    static constexpr struct
    {
        unsigned modifier;
        WORD vk;
    } kModifierKeys[] = {{kCtrl, VK_CONTROL}, {kAlt, VK_MENU}, {kShift, VK_SHIFT}};

    std::vector<INPUT> inputs;
    for (const auto& m : kModifierKeys)
    {
        if (modifiers & m.modifier)
        {
            inputs.push_back(KeyInput(m.vk, false));
        }
    }
    inputs.push_back(KeyInput(vk, false));
    inputs.push_back(KeyInput(vk, true));
    for (auto it = std::rbegin(kModifierKeys); it != std::rend(kModifierKeys); ++it)
    {
        if (modifiers & it->modifier)
        {
            inputs.push_back(KeyInput(it->vk, true));
        }
    }
    Send(inputs);
}

void TypeChar(char ch)
{
    const SHORT scan = ::VkKeyScanA(ch);
    if (scan == -1)
    {
        return;
    }
    const auto shiftState = static_cast<unsigned>(scan >> 8) & 0xFFu;
    unsigned modifiers = kNoModifier;
    if (shiftState & 1u)
    {
        modifiers |= kShift;
    }
    if (shiftState & 2u)
    {
        modifiers |= kCtrl;
    }
    if (shiftState & 4u)
    {
        modifiers |= kAlt;
    }
    PressKey(static_cast<WORD>(scan & 0xFF), modifiers);
}

bool PutOnClipboard(std::string_view text)
{
    if (!WaitUntil([] { return ::OpenClipboard(nullptr) != FALSE; }))
    {
        return false;
    }
    ::EmptyClipboard();
    bool ok = false;
    if (HGLOBAL hMem = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1))
    {
        if (void* p = ::GlobalLock(hMem))
        {
            std::memcpy(p, text.data(), text.size());
            static_cast<char*>(p)[text.size()] = '\0';
            ::GlobalUnlock(hMem);
            ok = ::SetClipboardData(CF_TEXT, hMem) != nullptr;
        }
        if (!ok)
        {
            ::GlobalFree(hMem); // the clipboard owns it only after a successful SetClipboardData
        }
    }
    ::CloseClipboard();
    return ok;
}

bool ClickWindow(HWND hwnd)
{
    RECT rc{};
    if (!::GetWindowRect(hwnd, &rc))
    {
        return false;
    }
    const POINT target{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    if (width <= 1 || height <= 1)
    {
        return false;
    }
    // Each event carries the position, so a pointer event of the window system still on its way
    // (a window newly shown under the old pointer position reports it) cannot move the press.
    const auto mouse = [&](DWORD flags)
    {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = ::MulDiv(target.x, 65535, width - 1);
        in.mi.dy = ::MulDiv(target.y, 65535, height - 1);
        in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
        return in;
    };
    std::vector<INPUT> move = {mouse(MOUSEEVENTF_MOVE)};
    Send(move);
    // Wait until the pointer is there and stays there for a few polls.
    int steady = 0;
    const bool arrived = WaitUntil(
        [&]
        {
            POINT now{};
            steady = ::GetCursorPos(&now) && now.x == target.x && now.y == target.y ? steady + 1 : 0;
            return steady >= 5;
        });
    if (!arrived)
    {
        return false;
    }
    std::vector<INPUT> click = {mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN),
                                mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP)};
    Send(click);
    return true;
}

} // namespace e2e
