#include <windows.h>

#include <string>

#include "DialogRun.h"
#include "res/resource.h"

namespace
{
// Values the program puts into the fields are left alone, even those the filter would refuse.
TEST(DataExchange, LoadedTextNotScreened)
{
    DialogRun run;
    WriteLanCfg("MANAGMENT_IP_ADDR=10.1.1.3x\r\nSHELF_MNG_IP_ADDR=a.b\r\nMANAGMENT_SUBNETMASK=255 x\r\n");
    run.WaitUntilShown().Pause(10).Do(
        [&]
        {
            EXPECT_TRUE(FindMessageBox() == nullptr) << "no refusal while the dialog opens";
            EXPECT_EQ(TextOf(run.Item(IDC_CONTROL_UNIT_IP)), std::string("10.1.1.3x")) << "Control Unit field";
            EXPECT_EQ(TextOf(run.Item(IDC_SHELF_MNG_IP)), std::string("a.b")) << "Shelf Management field";
            EXPECT_EQ(TextOf(run.Item(IDC_SUBNET_MASK)), std::string("255 x")) << "Subnet Mask field";
            EndAllDialogs();
        });
    run.Run();
}

// UpdateData(FALSE) rewrites only the controls whose text differs from the member.
TEST(DataExchange, TransferKeepsUnchangedSelection)
{
    DialogRun run;
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
            EXPECT_TRUE(nStart == 4 && nEnd == 9) << "the unchanged field keeps its selection";
            EXPECT_EQ(TextOf(hChanged), std::string("10.1.1.1")) << "the changed field shows the member again";
            const auto [nChangedStart, nChangedEnd] = SelectionOf(hChanged);
            EXPECT_TRUE(nChangedStart == 0 && nChangedEnd == 0) << "a rewritten field has its caret at the start";
        });
    run.script.Pause(5).Do(
        [&]
        {
            EXPECT_TRUE(FindMessageBox() == nullptr) << "no refusal from the transfer";
            EndAllDialogs();
        });
    run.Run();
}

} // namespace
