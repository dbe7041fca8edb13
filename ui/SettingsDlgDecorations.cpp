#include "ui/SettingsDlg.h"

#include "framework/CPaintDC.h"
#include "framework/CWinApp.h"
#include "ui/AboutDlg.h"

// System commands carry flags in their low four bits, and ids from 0xF000 on are the system's own.
static_assert((IDM_ABOUTBOX & ID_SYSCOMMAND_MASK) == IDM_ABOUTBOX && IDM_ABOUTBOX < 0xF000);

void CSettingsDlg::InstallDecorations()
{
    if (const HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE); hSysMenu != nullptr)
    {
        const CString strAboutMenu = AfxLoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty())
        {
            ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    // The template sizes the client area for the controls alone, and a menu bar takes its height
    // from the client area: the window grows by that height, so the controls keep their room.
    RECT rcBefore{};
    ::GetClientRect(m_hWnd, &rcBefore);
    m_menu.Attach(::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_HELPMENU)));
    RECT rcAfter{};
    if (SetMenu(m_menu.GetSafeHmenu()) && ::GetClientRect(m_hWnd, &rcAfter) && rcAfter.bottom < rcBefore.bottom)
    {
        RECT rcWindow{};
        ::GetWindowRect(m_hWnd, &rcWindow);
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, rcWindow.right - rcWindow.left,
                       rcWindow.bottom - rcWindow.top + rcBefore.bottom - rcAfter.bottom,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Shared: the system owns the image and frees it.
    const HANDLE hSmallIcon =
        ::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_MAINFRAME), IMAGE_ICON, 32, 32, LR_SHARED);
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hSmallIcon));
}

void CSettingsDlg::OnSysCommand(UINT nID, LPARAM /*lParam*/)
{
    if ((nID & ID_SYSCOMMAND_MASK) == IDM_ABOUTBOX)
    {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    }
    else
    {
        Default();
    }
}

void CSettingsDlg::OnAppAbout()
{
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
}

void CSettingsDlg::OnPaint()
{
    if (!::IsIconic(m_hWnd))
    {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);

    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect{};
    ::GetClientRect(m_hWnd, &rect);
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CSettingsDlg::OnQueryDragIcon()
{
    return m_hIcon;
}
