#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "DialogRun.h"
#include "framework/CWinApp.h"
#include "res/resource.h"

namespace
{
struct MenuItem
{
    UINT nType;
    UINT nID;
    std::string text;
    HMENU hSubMenu;
};

std::vector<MenuItem> ItemsOf(HMENU hMenu)
{
    std::vector<MenuItem> items;
    const int nCount = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; ++i)
    {
        char szText[128] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = szText;
        info.cch = sizeof szText;
        ::GetMenuItemInfoA(hMenu, static_cast<UINT>(i), TRUE, &info);
        items.push_back(MenuItem{info.fType, info.wID, szText, info.hSubMenu});
    }
    return items;
}

bool Contains(const std::vector<MenuItem>& items, UINT nID)
{
    for (const MenuItem& item : items)
    {
        if (item.nID == nID)
        {
            return true;
        }
    }
    return false;
}

TEST(Decorations, SystemMenu)
{
    DialogRun run;
    run.WaitUntilShown().Do(
        [&]
        {
            // Wine 8 lists Restore, Move, Size, Minimize, Maximize, a separator, Close, then a separator and
            // its own "&About Wine" (0xF141) before what the program appends: our separator and entry end the
            // menu there as they do on Windows.
            const std::vector<MenuItem> items = ItemsOf(::GetSystemMenu(run.Dlg(), FALSE));
            EXPECT_TRUE(items.size() >= 2) << "the system menu has the About entry and its separator";
            if (items.size() >= 2)
            {
                const MenuItem& separator = items[items.size() - 2];
                const MenuItem& about = items.back();
                EXPECT_TRUE((separator.nType & MFT_SEPARATOR) != 0) << "a separator before the last entry";
                EXPECT_EQ(about.text, std::string("&About Tavrel...")) << "text of the last entry";
                EXPECT_EQ(about.nID, static_cast<UINT>(IDM_ABOUTBOX)) << "command of the last entry";
            }
            EXPECT_TRUE(Contains(items, SC_MOVE) && Contains(items, SC_CLOSE)) << "Move and Close stay in the menu";
            run.dlg.EndDialog(IDCANCEL);
        });
    run.Run();
}

TEST(Decorations, MenuBar)
{
    DialogRun run;
    run.WaitUntilShown().Do(
        [&]
        {
            const std::vector<MenuItem> bar = ItemsOf(::GetMenu(run.Dlg()));
            EXPECT_EQ(bar.size(), std::size_t{1}) << "one popup on the menu bar";
            if (!bar.empty())
            {
                EXPECT_EQ(bar[0].text, std::string("&Help")) << "the popup";
                const std::vector<MenuItem> help = ItemsOf(bar[0].hSubMenu);
                EXPECT_EQ(help.size(), std::size_t{1}) << "one item in Help";
                if (!help.empty())
                {
                    EXPECT_EQ(help[0].text, std::string("About...")) << "the Help item";
                    EXPECT_EQ(help[0].nID, static_cast<UINT>(ID_APP_ABOUT)) << "its command";
                }
            }
            run.dlg.EndDialog(IDCANCEL);
        });
    run.Run();
}

TEST(Decorations, WindowIcons)
{
    DialogRun run;
    run.WaitUntilShown().Do(
        [&]
        {
            EXPECT_TRUE(::SendMessageA(run.Dlg(), WM_GETICON, ICON_SMALL, 0) != 0) << "the small icon is set";
            EXPECT_TRUE(::SendMessageA(run.Dlg(), WM_GETICON, ICON_BIG, 0) == 0) << "the large icon is left alone";
            // Answered through the dialog procedure's own result, not DWLP_MSGRESULT.
            EXPECT_TRUE(::SendMessageA(run.Dlg(), WM_QUERYDRAGICON, 0, 0) != 0) << "the drag icon is the application's";
            run.dlg.EndDialog(IDCANCEL);
        });
    run.Run();
}

struct AboutRoute
{
    const char* pszName;
    UINT message;
    WPARAM wParam;
};

constexpr AboutRoute kAboutRoutes[] = {
    {"system menu", WM_SYSCOMMAND, IDM_ABOUTBOX},
    {"Help menu", WM_COMMAND, MAKEWPARAM(ID_APP_ABOUT, 0)},
};

std::vector<std::string> ChildTexts(HWND hDialog)
{
    std::vector<std::string> texts;
    for (HWND hChild = ::GetWindow(hDialog, GW_CHILD); hChild != nullptr; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        texts.push_back(TextOf(hChild));
    }
    return texts;
}

TEST(Decorations, AboutBox)
{
    for (const AboutRoute& route : kAboutRoutes)
    {
        const std::string how = std::string(" (from the ") + route.pszName + ")";
        DialogRun run;
        WriteLanCfg(kValidLanCfg);
        std::vector<std::string> textsBefore;
        HWND hAbout = nullptr;
        run.WaitUntilShown()
            .Do(
                [&]
                {
                    ::SetFocus(run.Item(IDC_SUBNET_MASK));
                    ::SendMessageA(run.Item(IDC_SUBNET_MASK), EM_SETSEL, 2, 5);
                    textsBefore = ChildTexts(run.Dlg());
                    ::PostMessageA(run.Dlg(), route.message, route.wParam, 0);
                })
            .Wait("the About box" + how, [&] { return (hAbout = FindDialog("About Tavrel")) != nullptr; })
            .Do(
                [&]
                {
                    EXPECT_TRUE(::GetWindow(hAbout, GW_OWNER) == run.Dlg()) << "owned by the settings dialog" + how;
                    EXPECT_TRUE(!::IsWindowEnabled(run.Dlg())) << "the settings dialog is disabled meanwhile" + how;
                    const std::vector<std::string> texts = ChildTexts(hAbout);
                    EXPECT_EQ(texts.size(), std::size_t{4}) << "controls of the About box" + how;
                    if (texts.size() == 4)
                    {
                        EXPECT_EQ(texts[1], std::string("Tavrel Version 1.1")) << "first line" + how;
                        EXPECT_TRUE(!texts[2].empty()) << "a second line" + how;
                        EXPECT_EQ(texts[3], std::string("OK")) << "the button" + how;
                    }
                    const HWND hIcon = ::GetWindow(hAbout, GW_CHILD);
                    EXPECT_TRUE(::SendMessageA(hIcon, STM_GETICON, 0, 0) != 0) << "the icon is shown" + how;
                    RECT rcAbout{};
                    RECT rcOwner{};
                    ::GetWindowRect(hAbout, &rcAbout);
                    ::GetWindowRect(run.Dlg(), &rcOwner);
                    EXPECT_TRUE(std::abs((rcAbout.left + rcAbout.right) - (rcOwner.left + rcOwner.right)) <= 1 &&
                                std::abs((rcAbout.top + rcAbout.bottom) - (rcOwner.top + rcOwner.bottom)) <= 1)
                        << "centred on the settings dialog" + how;
                    ::PostMessageA(hAbout, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(::GetDlgItem(hAbout, IDOK)));
                })
            .Wait("the return to the settings dialog" + how,
                  [&] { return FindDialog("About Tavrel") == nullptr && ::GetFocus() == run.Item(IDC_SUBNET_MASK); })
            .Do(
                [&]
                {
                    EXPECT_TRUE(::IsWindowEnabled(run.Dlg())) << "the settings dialog is enabled again" + how;
                    EXPECT_TRUE(ChildTexts(run.Dlg()) == textsBefore) << "texts as they were" + how;
                    run.dlg.EndDialog(IDCANCEL);
                });
        run.Run();
    }
}

void PressF1()
{
    INPUT inputs[2] = {};
    for (INPUT& input : inputs)
    {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = VK_F1;
    }
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof(INPUT));
}

// F1 shows the help text (string ID_HELP) in a message box and returns to the dialog.
TEST(Decorations, HelpKey)
{
    DialogRun run;
    HWND hBox = nullptr;
    run.WaitUntilShown()
        .Do(
            [&]
            {
                ::SetForegroundWindow(run.Dlg());
                PressF1();
            })
        .Wait("the help message", [&] { return (hBox = FindMessageBox()) != nullptr; })
        .Do(
            [&]
            {
                const std::string text = TextOf(::GetDlgItem(hBox, 0xFFFF));
                EXPECT_EQ(text, std::string(AfxLoadString(ID_HELP).GetString())) << "help text";
                EXPECT_TRUE(text.find("lan.cfg") != std::string::npos) << "the help names lan.cfg";
                CloseMessageBox(hBox);
            })
        .Wait("the return to the dialog",
              [&] { return FindMessageBox() == nullptr && ::GetFocus() == run.Item(IDC_CONTROL_UNIT_IP); })
        .Do([&] { run.dlg.EndDialog(IDCANCEL); });
    run.Run();
}

} // namespace
