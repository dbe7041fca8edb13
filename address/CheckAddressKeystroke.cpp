#include "address/CheckAddressKeystroke.h"

#include <windows.h>

#include <cstdint>

#include "address/KeystrokeRule.h"
#include "framework/CWinApp.h"
#include "framework/CWnd.h"

void CheckAddressKeystroke(int controlId, CWnd* dialog)
{
    const CWnd edit = dialog->GetDlgItem(controlId);
    const CString text = edit.GetWindowText();
    const auto selection = static_cast<std::uint32_t>(edit.SendMessage(EM_GETSEL));
    const std::optional<int> refused = FindRefusedKeystroke(text, selection);
    if (!refused)
    {
        return;
    }
    const int p = *refused;
    AfxMessageBox(kKeystrokeRefusedMessage, MB_OK, 0);
    // Replacing the text raises EN_CHANGE again with the caret at 0, which this check lets pass.
    edit.SetWindowText(text.Left(p) + text.Right(text.GetLength() - p - 1));
    edit.SetFocus();
    edit.SendMessage(EM_SETSEL, static_cast<WPARAM>(p), p);
    edit.SendMessage(EM_SCROLLCARET);
}
