#pragma once

#include <windows.h>

#include "framework/CWnd.h"
#include "framework/MessageMap.h"

class CDataExchange;

// A modal dialog made from a dialog template. The object lives on the caller's stack for one run;
// the dialog procedure finds it through the window's DWLP_USER slot.
class CDialog : public CWnd, public CCmdTarget
{
public:
    // The dialog is owned by the thread's active window, or else the main window.
    explicit CDialog(UINT nIDTemplate);

    // Runs the dialog until EndDialog; the result is EndDialog's, or -1 when it could not be created.
    INT_PTR DoModal();
    // Moves data between the controls and the members: into the members when bSaveAndValidate.
    void UpdateData(BOOL bSaveAndValidate = TRUE);
    void EndDialog(int nResult) const { ::EndDialog(m_hWnd, nResult); }

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // Called before the dialog is shown. Returns TRUE to have the first tab stop focused, FALSE
    // when it has placed the focus itself.
    virtual BOOL OnInitDialog();
    // Called for the OK button and Enter: transfers the controls into the members and ends with IDOK.
    virtual void OnOK();
    // Called for Cancel, Escape and the close box: ends with IDCANCEL.
    virtual void OnCancel();

    // Hands the message being handled on to the dialog manager's default processing once the
    // handler returns, as if no handler had taken it.
    void Default() { m_bDefault = true; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult);
    INT_PTR ReturnResult(UINT message, LRESULT lResult) const;
    void CenterIfUnplaced() const;

    UINT m_nIDTemplate;
    bool m_bDefault = false;
};
