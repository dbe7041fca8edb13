#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "DialogRun.h"
#include "res/resource.h"

namespace
{
// Values the program puts into the fields are left alone, even those the filter would refuse.
void LoadedTextNotScreened(Checks& checks)
{
    DialogRun run(checks);
    WriteLanCfg("MANAGMENT_IP_ADDR=10.1.1.3x\r\nSHELF_MNG_IP_ADDR=a.b\r\nMANAGMENT_SUBNETMASK=255 x\r\n");
    run.WaitUntilShown().Pause(10).Do(
        [&]
        {
            checks.Expect(FindMessageBox() == nullptr, "no refusal while the dialog opens");
            checks.ExpectEq(TextOf(run.Item(IDC_CONTROL_UNIT_IP)), std::string("10.1.1.3x"), "Control Unit field");
            checks.ExpectEq(TextOf(run.Item(IDC_SHELF_MNG_IP)), std::string("a.b"), "Shelf Management field");
            checks.ExpectEq(TextOf(run.Item(IDC_SUBNET_MASK)), std::string("255 x"), "Subnet Mask field");
            EndAllDialogs();
        });
    run.Run();
}

// UpdateData(FALSE) rewrites only the controls whose text differs from the member.
void TransferKeepsUnchangedSelection(Checks& checks)
{
    DialogRun run(checks);
    WriteLanCfg(kValidLanCfg);
    run.WaitUntilShown().Do(
        [&]
        {
            const HWND hUnchanged = run.Item(IDC_SUBNET_MASK);
            const HWND hChanged = run.Item(IDC_DEFAULT_ROUTER);
            ::SendMessageA(hUnchanged, EM_SETSEL, 4, 9);
            ::SetWindowTextA(hChanged, "1.2.3.4");
            ::SendMessageA(hChanged, EM_SETSEL, 3, 5);
            run.dlg.UpdateData(FALSE);
            const auto [nStart, nEnd] = SelectionOf(hUnchanged);
            checks.Expect(nStart == 4 && nEnd == 9, "the unchanged field keeps its selection");
            checks.ExpectEq(TextOf(hChanged), std::string("10.1.1.1"), "the changed field shows the member again");
            const auto [nChangedStart, nChangedEnd] = SelectionOf(hChanged);
            checks.Expect(nChangedStart == 0 && nChangedEnd == 0, "a rewritten field has its caret at the start");
        });
    run.script.Pause(5).Do(
        [&]
        {
            checks.Expect(FindMessageBox() == nullptr, "no refusal from the transfer");
            EndAllDialogs();
        });
    run.Run();
}

enum class Press
{
    OkButton,
    EnterInField,
};

struct OkRow
{
    const char* pszName;
    const char* pszLanCfg; // null: no file
    std::vector<std::pair<int, const char*>> edits;
    Press press;
    const char* pszMessage;
    int nFocus; // the field focused after a refusal; 0 when the dialog ends
    const char* pszFileAfter;
};

constexpr char kSavedWithNewMask[] = "[GENERAL INFORMATION]\r\n"
                                     "SHELF_MNG_IP_ADDR=10.1.1.2\r\n"
                                     "SHELF_MNG_SUBNETMASK=255.255.0.0\r\n"
                                     "SHELF_MNG_DEFGATEWAY=10.1.1.1\r\n"
                                     "MANAGMENT_IP_ADDR=10.1.1.3\r\n"
                                     "MANAGMENT_SUBNETMASK=255.255.0.0\r\n"
                                     "MANAGMENT_DEFGATEWAY=10.1.1.1\r\n";

const OkRow kOkRows[] = {
    {"OK without lan.cfg", nullptr, {}, Press::OkButton, "Invalid Control Unit IP address", IDC_CONTROL_UNIT_IP, ""},
    {"a new mask written canonically",
     kValidLanCfg,
     {{IDC_SUBNET_MASK, "255.255.0.000"}},
     Press::OkButton,
     "Configuration file updated successfully",
     0,
     kSavedWithNewMask},
    {"Enter in a field acts as OK",
     kValidLanCfg,
     {{IDC_SUBNET_MASK, "255.255.0.0"}},
     Press::EnterInField,
     "Configuration file updated successfully",
     0,
     kSavedWithNewMask},
    {"the upper of two bad fields is reported",
     kValidLanCfg,
     {{IDC_SHELF_MNG_IP, "10.1.1"}, {IDC_DEFAULT_ROUTER, "x"}},
     Press::OkButton,
     "Invalid Shelf Management IP address",
     IDC_SHELF_MNG_IP,
     kValidLanCfg},
};

void OkFlow(Checks& checks)
{
    for (const OkRow& row : kOkRows)
    {
        const std::string name = std::string(" [") + row.pszName + "]";
        DialogRun run(checks);
        if (row.pszLanCfg != nullptr)
        {
            WriteLanCfg(row.pszLanCfg);
        }
        std::vector<std::string> textsTyped;
        HWND hBox = nullptr;
        run.WaitUntilShown()
            .Do(
                [&]
                {
                    for (const auto& [nID, pszText] : row.edits)
                    {
                        ::SetWindowTextA(run.Item(nID), pszText);
                    }
                    for (const int nID : {IDC_CONTROL_UNIT_IP, IDC_SHELF_MNG_IP, IDC_SUBNET_MASK, IDC_DEFAULT_ROUTER})
                    {
                        textsTyped.push_back(TextOf(run.Item(nID)));
                    }
                    if (row.press == Press::OkButton)
                    {
                        ::PostMessageA(run.Dlg(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                       reinterpret_cast<LPARAM>(run.Item(IDOK)));
                    }
                    else
                    {
                        ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
                    }
                })
            .Wait("the message" + name, [&] { return (hBox = FindMessageBox()) != nullptr; })
            .Do(
                [&]
                {
                    checks.ExpectEq(TextOf(::GetDlgItem(hBox, 0xFFFF)), std::string(row.pszMessage), "message" + name);
                    std::vector<std::string> textsShown;
                    for (const int nID : {IDC_CONTROL_UNIT_IP, IDC_SHELF_MNG_IP, IDC_SUBNET_MASK, IDC_DEFAULT_ROUTER})
                    {
                        textsShown.push_back(TextOf(run.Item(nID)));
                    }
                    checks.Expect(textsShown == textsTyped,
                                  "the fields show what was typed, not the canonical form" + name);
                    CloseMessageBox(hBox);
                });
        if (row.nFocus != 0)
        {
            run.script.Wait("the return to the dialog" + name, [&] { return FindMessageBox() == nullptr; })
                .Do(
                    [&]
                    {
                        checks.Expect(::GetFocus() == run.Item(row.nFocus), "focus on the bad field" + name);
                        EndAllDialogs();
                    });
        }
        run.Run();
        checks.ExpectEq(run.nResult, INT_PTR{row.nFocus == 0 ? IDOK : IDABORT}, "end of the dialog" + name);
        checks.ExpectEq(ReadLanCfg(), std::string(row.pszFileAfter), "lan.cfg afterwards" + name);
    }
}

struct CancelRow
{
    const char* pszName;
    UINT message;
    WPARAM wParam;
    bool bToFocus; // sent to the focused field rather than the dialog
};

constexpr CancelRow kCancelRows[] = {
    {"Cancel button", WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), false},
    {"Escape", WM_KEYDOWN, VK_ESCAPE, true},
};

void CancelKeepsFile(Checks& checks)
{
    for (const CancelRow& row : kCancelRows)
    {
        DialogRun run(checks);
        WriteLanCfg(kValidLanCfg);
        run.WaitUntilShown().Do(
            [&]
            {
                ::SetWindowTextA(run.Item(IDC_CONTROL_UNIT_IP), "10.2.2.2");
                ::PostMessageA(row.bToFocus ? ::GetFocus() : run.Dlg(), row.message, row.wParam, 0);
            });
        run.Run();
        checks.ExpectEq(run.nResult, INT_PTR{IDCANCEL}, std::string("result after ") + row.pszName);
        checks.ExpectEq(ReadLanCfg(), std::string(kValidLanCfg), std::string("lan.cfg after ") + row.pszName);
    }
}

constexpr TestCase kCases[] = {
    {"flow.loaded_text_not_screened", LoadedTextNotScreened},
    {"flow.transfer_keeps_unchanged_selection", TransferKeepsUnchangedSelection},
    {"flow.ok", OkFlow},
    {"flow.cancel_keeps_file", CancelKeepsFile},
};
} // namespace

std::span<const TestCase> FlowCases()
{
    return kCases;
}
