#include <windows.h>

#include <string>

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

constexpr TestCase kCases[] = {
    {"exchange.loaded_text_not_screened", LoadedTextNotScreened},
    {"exchange.transfer_keeps_unchanged_selection", TransferKeepsUnchangedSelection},
};
} // namespace

std::span<const TestCase> ExchangeCases()
{
    return kCases;
}
