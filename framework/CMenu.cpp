#include "framework/CMenu.h"

BOOL CMenu::Attach(HMENU hMenu)
{
    if (m_hMenu != nullptr || hMenu == nullptr)
    {
        return FALSE;
    }
    m_hMenu = hMenu;
    return TRUE;
}

BOOL CMenu::DestroyMenu()
{
    const HMENU hMenu = Detach();
    return hMenu != nullptr && ::DestroyMenu(hMenu);
}
