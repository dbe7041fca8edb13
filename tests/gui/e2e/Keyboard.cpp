#include "tests/gui/e2e/Keyboard.h"

#include "tests/gui/e2e/Wait.h"

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
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0u) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0u);
    return in;
}

void Send(std::vector<INPUT>& inputs)
{
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
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
            inputs.push_back(KeyInput(m.vk, false));
    }
    inputs.push_back(KeyInput(vk, false));
    inputs.push_back(KeyInput(vk, true));
    for (auto it = std::rbegin(kModifierKeys); it != std::rend(kModifierKeys); ++it)
    {
        if (modifiers & it->modifier)
            inputs.push_back(KeyInput(it->vk, true));
    }
    Send(inputs);
}

void TypeChar(char ch)
{
    const SHORT scan = VkKeyScanA(ch);
    if (scan == -1)
        return;
    const auto shiftState = static_cast<unsigned>(scan >> 8) & 0xFFu;
    unsigned modifiers = kNoModifier;
    if (shiftState & 1u)
        modifiers |= kShift;
    if (shiftState & 2u)
        modifiers |= kCtrl;
    if (shiftState & 4u)
        modifiers |= kAlt;
    PressKey(static_cast<WORD>(scan & 0xFF), modifiers);
}

bool PutOnClipboard(std::string_view text)
{
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }))
        return false;
    EmptyClipboard();
    bool ok = false;
    if (HGLOBAL hMem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1))
    {
        if (void* p = GlobalLock(hMem))
        {
            std::memcpy(p, text.data(), text.size());
            static_cast<char*>(p)[text.size()] = '\0';
            GlobalUnlock(hMem);
            ok = SetClipboardData(CF_TEXT, hMem) != nullptr;
        }
        if (!ok)
            GlobalFree(hMem); // the clipboard owns it only after a successful SetClipboardData
    }
    CloseClipboard();
    return ok;
}

bool ClickWindow(HWND hwnd)
{
    RECT rc{};
    if (!GetWindowRect(hwnd, &rc))
        return false;
    const POINT target{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    SetCursorPos(target.x, target.y);
    // A press sent before the pointer has arrived lands where it was.
    const bool arrived = WaitUntil(
        [&]
        {
            POINT now{};
            return GetCursorPos(&now) && now.x == target.x && now.y == target.y;
        });
    if (!arrived)
        return false;
    std::vector<INPUT> inputs(2);
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    Send(inputs);
    return true;
}

} // namespace e2e
