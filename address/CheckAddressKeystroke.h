#pragma once

class CWnd;

// Screens the latest change to one of the dialog's address fields: a character other than a digit
// or a period just before the caret is refused with a message, removed, and the caret put back.
void CheckAddressKeystroke(int controlId, CWnd* dialog);
