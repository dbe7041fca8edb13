#include <windows.h>

#include <cstdlib>
#include <string>

#include "DialogRun.h"
#include "res/resource.h"

namespace
{
struct ControlRow
{
    int nID;
    const char* pszClass;
    const char* pszText;
    DWORD dwTypeMask; // style bits that must equal dwType
    DWORD dwType;
    DWORD dwSet;        // style bits that must be set
    DWORD dwClear;      // style bits that must be clear
    RECT rcDialogUnits; // x, y, width, height
};

constexpr DWORD kLabelSet = SS_CENTERIMAGE | WS_GROUP;
constexpr DWORD kEditSet = WS_TABSTOP | ES_AUTOHSCROLL;
// Each field belongs to its label's group.
constexpr DWORD kEditClear = ES_NUMBER | ES_MULTILINE | ES_READONLY | WS_GROUP;

// The template in creation order, which is also the order of the child windows: each field right
// after its label, which is what a screen reader names it from; then OK and Cancel, a group of two.
constexpr ControlRow kControls[] = {
    {IDC_LABEL_CONTROL_UNIT,
     "Static",
     "Control Unit IP Address: ",
     SS_TYPEMASK,
     SS_LEFT,
     kLabelSet,
     WS_TABSTOP,
     {18, 13, 97, 13}},
    {IDC_CONTROL_UNIT_IP, "Edit", "", 0, 0, kEditSet, kEditClear, {123, 13, 76, 13}},
    {IDC_LABEL_SHELF_MNG,
     "Static",
     "Shelf Management IP Address:",
     SS_TYPEMASK,
     SS_LEFT,
     kLabelSet,
     WS_TABSTOP,
     {18, 34, 100, 13}},
    {IDC_SHELF_MNG_IP, "Edit", "", 0, 0, kEditSet, kEditClear, {123, 34, 76, 13}},
    {IDC_LABEL_SUBNET_MASK, "Static", "Subnet Mask:", SS_TYPEMASK, SS_LEFT, kLabelSet, WS_TABSTOP, {18, 67, 96, 13}},
    {IDC_SUBNET_MASK, "Edit", "", 0, 0, kEditSet, kEditClear, {123, 67, 76, 13}},
    {IDC_LABEL_DEFAULT_ROUTER,
     "Static",
     "Default Router IP Address:",
     SS_TYPEMASK,
     SS_LEFT,
     kLabelSet,
     WS_TABSTOP,
     {18, 85, 96, 13}},
    {IDC_DEFAULT_ROUTER, "Edit", "", 0, 0, kEditSet, kEditClear, {123, 86, 76, 13}},
    {IDOK, "Button", "OK", BS_TYPEMASK, BS_DEFPUSHBUTTON, WS_TABSTOP | WS_GROUP, 0, {122, 116, 50, 14}},
    {IDCANCEL, "Button", "Cancel", BS_TYPEMASK, BS_PUSHBUTTON, WS_TABSTOP, WS_GROUP, {49, 116, 50, 14}},
};

std::string ClassOf(HWND hWnd)
{
    char szClass[64] = {};
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    return szClass;
}

RECT ChildRect(HWND hDlg, HWND hChild)
{
    RECT rc{};
    ::GetWindowRect(hChild, &rc);
    ::MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::string Describe(const RECT& rc)
{
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) + "," +
           std::to_string(rc.bottom);
}

TEST(Layout, TemplateControls)
{
    DialogRun run;
    run.WaitUntilShown().Do(
        [&]
        {
            HWND hChild = ::GetWindow(run.Dlg(), GW_CHILD);
            for (const ControlRow& row : kControls)
            {
                const std::string name = "control " + std::to_string(row.nID);
                EXPECT_EQ(::GetDlgCtrlID(hChild), row.nID) << "id of the next control in template order";
                EXPECT_TRUE(_stricmp(ClassOf(hChild).c_str(), row.pszClass) == 0) << name + " class " + ClassOf(hChild);
                // The edit fields are empty in the template; this run loads nothing into them.
                EXPECT_EQ(TextOf(hChild), std::string(row.pszText)) << name + " text";
                const auto dwStyle = static_cast<DWORD>(::GetWindowLongPtrA(hChild, GWL_STYLE));
                EXPECT_EQ(dwStyle & row.dwTypeMask, row.dwType) << name + " kind";
                EXPECT_EQ(dwStyle & row.dwSet, row.dwSet) << name + " styles set";
                EXPECT_EQ(dwStyle & row.dwClear, 0UL) << name + " styles clear";
                if (row.dwSet == kEditSet)
                {
                    // An edit control trades its WS_BORDER for a sunken client edge when it is created.
                    const auto dwExStyle = static_cast<DWORD>(::GetWindowLongPtrA(hChild, GWL_EXSTYLE));
                    EXPECT_TRUE((dwStyle & WS_BORDER) != 0 || (dwExStyle & WS_EX_CLIENTEDGE) != 0) << name + " border";
                }
                // Position and size are mapped to pixels each on its own, as the dialog manager does.
                RECT rcExpected = row.rcDialogUnits;
                ::MapDialogRect(run.Dlg(), &rcExpected);
                rcExpected.right += rcExpected.left;
                rcExpected.bottom += rcExpected.top;
                EXPECT_EQ(Describe(ChildRect(run.Dlg(), hChild)), Describe(rcExpected)) << name + " position";
                hChild = ::GetWindow(hChild, GW_HWNDNEXT);
            }
            EXPECT_TRUE(hChild == nullptr) << "no control beyond the template's ten";
            run.dlg.EndDialog(IDCANCEL);
        });
    run.Run();
}

TEST(Layout, DialogWindow)
{
    DialogRun run;
    run.WaitUntilShown().Do(
        [&]
        {
            EXPECT_EQ(TextOf(run.Dlg()), std::string("Tavrel")) << "caption";
            const auto dwStyle = static_cast<DWORD>(::GetWindowLongPtrA(run.Dlg(), GWL_STYLE));
            const DWORD dwWanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
            EXPECT_EQ(dwStyle & dwWanted, dwWanted) << "dialog styles";
            EXPECT_EQ(dwStyle & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0UL) << "no min/max box, fixed";
            const auto dwExStyle = static_cast<DWORD>(::GetWindowLongPtrA(run.Dlg(), GWL_EXSTYLE));
            EXPECT_EQ(dwExStyle & WS_EX_APPWINDOW, static_cast<DWORD>(WS_EX_APPWINDOW)) << "shown in the taskbar";

            // The menu bar is added above the controls without taking room from them.
            RECT rcTemplate{0, 0, 220, 153};
            ::MapDialogRect(run.Dlg(), &rcTemplate);
            RECT rcClient{};
            ::GetClientRect(run.Dlg(), &rcClient);
            EXPECT_EQ(Describe(rcClient), Describe(rcTemplate)) << "client area";

            MONITORINFO monitor{};
            monitor.cbSize = sizeof monitor;
            ::GetMonitorInfoA(::MonitorFromWindow(run.Dlg(), MONITOR_DEFAULTTOPRIMARY), &monitor);
            RECT rcWindow{};
            ::GetWindowRect(run.Dlg(), &rcWindow);
            const int dx = (rcWindow.left + rcWindow.right) - (monitor.rcWork.left + monitor.rcWork.right);
            const int dy = (rcWindow.top + rcWindow.bottom) - (monitor.rcWork.top + monitor.rcWork.bottom);
            EXPECT_TRUE(std::abs(dx) <= 1 && std::abs(dy) <= 1)
                << "centred in the work area " + Describe(monitor.rcWork) + ": " + Describe(rcWindow);
            EXPECT_TRUE(::GetWindow(run.Dlg(), GW_OWNER) == nullptr) << "the main dialog has no owner";
            run.dlg.EndDialog(IDCANCEL);
        });
    run.Run();
}

TEST(Layout, TabCycle)
{
    DialogRun run;
    run.WaitUntilShown().Do(
        [&]
        {
            const int cycle[] = {
                IDOK, IDCANCEL, IDC_CONTROL_UNIT_IP, IDC_SHELF_MNG_IP, IDC_SUBNET_MASK, IDC_DEFAULT_ROUTER};
            const int nCount = static_cast<int>(std::size(cycle));
            for (const BOOL bPrevious : {FALSE, TRUE})
            {
                const int nStep = bPrevious ? nCount - 1 : 1;
                for (int i = 0; i < nCount; ++i)
                {
                    const HWND hNext = ::GetNextDlgTabItem(run.Dlg(), run.Item(cycle[i]), bPrevious);
                    EXPECT_EQ(::GetDlgCtrlID(hNext), cycle[(i + nStep) % nCount])
                        << std::string(bPrevious ? "Shift+Tab" : "Tab") + " from " + std::to_string(cycle[i]);
                }
            }
            run.dlg.EndDialog(IDCANCEL);
        });
    run.Run();
}

} // namespace
