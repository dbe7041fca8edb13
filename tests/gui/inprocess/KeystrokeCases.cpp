#include <windows.h>

#include <string>

#include "DialogRun.h"
#include "address/KeystrokeRule.h"
#include "framework/CWinApp.h"
#include "res/resource.h"

namespace
{
enum class Input
{
    Type,      // each character as WM_CHAR
    Paste,     // the whole text replacing the selection at once
    Backspace, // one Backspace
    Delete,    // one Delete
};

struct KeystrokeRow
{
    const char* pszName;
    int nID; // the rows take turns over the four fields, so each field's change handler is exercised
    const char* pszBefore;
    int nSelStart;
    int nSelEnd;
    Input input;
    const char* pszInput;
    const char* pszDuring; // the field while the refusal is shown; null when nothing is refused
    const char* pszAfter;
    int nCaret;
};

constexpr KeystrokeRow kRows[] = {
    {"an address typed into an empty field", IDC_CONTROL_UNIT_IP, "", 0, 0, Input::Type, "10.1.1.2", nullptr,
     "10.1.1.2", 8},
    {"a letter after 10.1", IDC_SHELF_MNG_IP, "10.1", 4, 4, Input::Type, "x", "10.1x", "10.1", 4},
    {"a blank between 10 and .1", IDC_SUBNET_MASK, "10.1", 2, 2, Input::Type, " ", "10 .1", "10.1", 2},
    {"a letter then a digit pasted", IDC_DEFAULT_ROUTER, "10.1.", 5, 5, Input::Paste, "a1", nullptr, "10.1.a1", 7},
    {"a digit then a letter pasted", IDC_CONTROL_UNIT_IP, "10.1.", 5, 5, Input::Paste, "1a", "10.1.1a", "10.1.1", 6},
    {"a letter over the whole text", IDC_SHELF_MNG_IP, "10.1", 0, 4, Input::Type, "a", "a", "", 0},
    {"a byte above 0x7F", IDC_DEFAULT_ROUTER, "10", 2, 2, Input::Type, "\xE9", "10\xE9", "10", 2},
    {"Backspace leaving a digit before the caret", IDC_DEFAULT_ROUTER, "10.1.2x", 7, 7, Input::Backspace, "", nullptr,
     "10.1.2", 6},
    {"Backspace leaving a letter the program set", IDC_CONTROL_UNIT_IP, "10.a1", 5, 5, Input::Backspace, "", "10.a",
     "10.", 3},
    {"Delete leaving a letter before the caret", IDC_SHELF_MNG_IP, "1x.2", 2, 2, Input::Delete, "", "1x2", "12", 1},
    // The filter's own rewrite ends in a letter: were it screened, a second refusal would follow.
    {"a letter after a letter the program set", IDC_SUBNET_MASK, "1.x", 3, 3, Input::Type, "y", "1.xy", "1.x", 3},
};

void PostInput(HWND hEdit, const KeystrokeRow& row)
{
    switch (row.input)
    {
    case Input::Type:
        for (const char* pch = row.pszInput; *pch != '\0'; ++pch)
        {
            ::PostMessageA(hEdit, WM_CHAR, static_cast<unsigned char>(*pch), 1);
        }
        break;
    case Input::Paste:
        ::SendMessageA(hEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(row.pszInput));
        break;
    case Input::Backspace:
        ::PostMessageA(hEdit, WM_CHAR, VK_BACK, 1);
        break;
    case Input::Delete:
        ::PostMessageA(hEdit, WM_KEYDOWN, VK_DELETE, 1);
        break;
    }
}

// One edit of one field, driven through the real edit control and its EN_CHANGE handler.
void RunRow(Checks& checks, const KeystrokeRow& row)
{
    const std::string name = std::string(" [") + row.pszName + "]";
    DialogRun run(checks);
    HWND hBox = nullptr;
    HWND hEdit = nullptr;
    run.WaitUntilShown().Do(
        [&]
        {
            hEdit = run.Item(row.nID);
            // Text the program sets is not screened, whatever it holds.
            ::SetWindowTextA(hEdit, row.pszBefore);
            ::SetFocus(hEdit);
            ::SendMessageA(hEdit, EM_SETSEL, static_cast<WPARAM>(row.nSelStart), row.nSelEnd);
            PostInput(hEdit, row);
        });
    if (row.pszDuring != nullptr)
    {
        run.script.Wait("the refusal" + name, [&] { return (hBox = FindMessageBox()) != nullptr; })
            .Do(
                [&]
                {
                    checks.ExpectEq(TextOf(::GetDlgItem(hBox, 0xFFFF)), std::string(kKeystrokeRefusedMessage),
                                    "message" + name);
                    checks.Expect(::GetWindow(hBox, GW_OWNER) == run.Dlg(), "owned by the dialog" + name);
                    checks.ExpectEq(TextOf(hEdit), std::string(row.pszDuring), "field while the message shows" + name);
                    CloseMessageBox(hBox);
                })
            .Wait("the message to close" + name, [&] { return FindMessageBox() == nullptr; });
    }
    else
    {
        run.script.Wait("the edit" + name, [&] { return TextOf(hEdit) == row.pszAfter; }).Pause(5);
    }
    run.script.Do(
        [&]
        {
            checks.Expect(FindMessageBox() == nullptr, "no message left" + name);
            checks.ExpectEq(TextOf(hEdit), std::string(row.pszAfter), "field afterwards" + name);
            const auto [nStart, nEnd] = SelectionOf(hEdit);
            checks.Expect(nStart == row.nCaret && nEnd == row.nCaret, "caret at " + std::to_string(row.nCaret) +
                                                                          ", got " + std::to_string(nStart) + "-" +
                                                                          std::to_string(nEnd) + name);
            checks.Expect(::GetFocus() == hEdit, "focus in the field" + name);
            EndAllDialogs();
        });
    run.Run();
}

void KeystrokeFilter(Checks& checks)
{
    for (const KeystrokeRow& row : kRows)
    {
        RunRow(checks, row);
    }
}

constexpr TestCase kCases[] = {
    {"keystroke.filter", KeystrokeFilter},
};
} // namespace

std::span<const TestCase> KeystrokeCases()
{
    return kCases;
}
