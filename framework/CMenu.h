#pragma once

#include <windows.h>

#include <utility>

// Holds a menu handle and destroys it with itself. A menu set on a window is destroyed with that
// window; destroying it again here then fails without effect.
class CMenu
{
public:
    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    ~CMenu() { DestroyMenu(); }

    HMENU GetSafeHmenu() const { return m_hMenu; }
    BOOL Attach(HMENU hMenu);
    HMENU Detach() { return std::exchange(m_hMenu, nullptr); }
    BOOL DestroyMenu();

private:
    HMENU m_hMenu = nullptr;
};
