#include <windows.h>

#include <string>

#include "DialogRun.h"
#include "address/KeystrokeRule.h"
#include "res/resource.h"

namespace
{
enum class Input
{
    Type,      // the character as WM_CHAR
    Backspace, // one Backspace
    Delete,    // one Delete
};

// One refusal per field, so each field's change handler is bound. The texts are set by the program
// first and hold characters the filter refuses: they are screened only once a change puts one of
// them before the caret.
struct KeystrokeRow
{
    const char* pszName;
    int nID;
    const char* pszBefore;
    int nCaretBefore;
    Input input;
    char chTyped;
    const char* pszDuring; // the field while the refusal shows
    const char* pszAfter;
    int nCaretAfter;
};

constexpr KeystrokeRow kRows[] = {
    {"Backspace leaving a letter the program set", IDC_CONTROL_UNIT_IP, "10.a1", 5, Input::Backspace, 0, "10.a", "10.",
     3},
    {"Delete leaving a letter before the caret", IDC_SHELF_MNG_IP, "1x.2", 2, Input::Delete, 0, "1x2", "12", 1},
    // The filter's own rewrite ends in a letter: were it screened, a second refusal would follow.
    {"a letter after a letter the program set", IDC_SUBNET_MASK, "1.x", 3, Input::Type, 'y', "1.xy", "1.x", 3},
    {"a byte above 0x7F", IDC_DEFAULT_ROUTER, "10", 2, Input::Type, '\xE9', "10\xE9", "10", 2},
};

void PostInput(HWND hEdit, const KeystrokeRow& row)
{
    switch (row.input)
    {
    case Input::Type:
        ::PostMessageA(hEdit, WM_CHAR, static_cast<unsigned char>(row.chTyped), 1);
        break;
    case Input::Backspace:
        ::PostMessageA(hEdit, WM_CHAR, VK_BACK, 1);
        break;
    case Input::Delete:
        ::PostMessageA(hEdit, WM_KEYDOWN, VK_DELETE, 1);
        break;
    }
}

void RunRow(const KeystrokeRow& row)
{
    const std::string name = std::string(" [") + row.pszName + "]";
    DialogRun run;
    HWND hEdit = nullptr;
    HWND hBox = nullptr;
    run.WaitUntilShown()
        .Do(
            [&]
            {
                hEdit = run.Item(row.nID);
                ::SetWindowTextA(hEdit, row.pszBefore);
                ::SetFocus(hEdit);
                ::SendMessageA(hEdit, EM_SETSEL, static_cast<WPARAM>(row.nCaretBefore), row.nCaretBefore);
                PostInput(hEdit, row);
            })
        .Wait("the refusal" + name, [&] { return (hBox = FindMessageBox()) != nullptr; })
        .Do(
            [&]
            {
                EXPECT_EQ(TextOf(::GetDlgItem(hBox, 0xFFFF)), std::string(kKeystrokeRefusedMessage))
                    << "message" + name;
                EXPECT_TRUE(::GetWindow(hBox, GW_OWNER) == run.Dlg()) << "owned by the dialog" + name;
                EXPECT_EQ(TextOf(hEdit), std::string(row.pszDuring)) << "field while the message shows" + name;
                CloseMessageBox(hBox);
            })
        .Wait("the message to close" + name, [&] { return FindMessageBox() == nullptr; })
        .Pause(5)
        .Do(
            [&]
            {
                EXPECT_TRUE(FindMessageBox() == nullptr) << "one refusal only" + name;
                EXPECT_EQ(TextOf(hEdit), std::string(row.pszAfter)) << "field afterwards" + name;
                const auto [nStart, nEnd] = SelectionOf(hEdit);
                EXPECT_TRUE(nStart == row.nCaretAfter && nEnd == row.nCaretAfter)
                    << "caret at " + std::to_string(row.nCaretAfter) + ", got " + std::to_string(nStart) + "-" +
                           std::to_string(nEnd) + name;
                EXPECT_TRUE(::GetFocus() == hEdit) << "focus in the field" + name;
                EndAllDialogs();
            });
    run.Run();
}

TEST(KeystrokeFilter, EachFieldRefusesAndRemoves)
{
    for (const KeystrokeRow& row : kRows)
    {
        RunRow(row);
    }
}

} // namespace
