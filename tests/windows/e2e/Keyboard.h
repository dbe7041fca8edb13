#pragma once

#include <windows.h>

#include <string_view>

// Input as a person gives it: SendInput reaches the foreground window's focused control through the
// program's own message loop, so dialog keys and accelerators take their ordinary path.

namespace e2e
{

enum Modifiers : unsigned
{
    kNoModifier = 0,
    kShift = 1,
    kCtrl = 2,
    kAlt = 4,
};

// Presses and releases one virtual key while holding the given modifiers.
void PressKey(WORD vk, unsigned modifiers = kNoModifier);

// Presses the key that produces the character in the current layout (with Shift where needed).
void TypeChar(char ch);

// Puts 8-bit text on the clipboard as CF_TEXT; false when the clipboard cannot be had.
bool PutOnClipboard(std::string_view text);

// Moves the pointer to the middle of the window, waits until it is there, and clicks the left button.
bool ClickWindow(HWND hwnd);

} // namespace e2e
