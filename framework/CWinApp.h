#pragma once

#include <windows.h>

#include "framework/CString.h"
#include "framework/CWnd.h"
#include "framework/MessageMap.h"

// The application. Exactly one lives as a global object; its constructor registers it, and
// AfxWinMain runs it.
class CWinApp : public CCmdTarget
{
public:
    CWinApp();
    ~CWinApp() override;

    // Runs the application; returns FALSE to end it without a message loop of the framework's own
    // (the only way this framework runs: the application runs its modal dialog from here).
    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }

    // The Help command (F1): shows the application's help text, string resource ID_HELP.
    void OnHelp();

    // The executable's file name without its extension: the caption of every message box.
    const CString& GetAppTitle() const { return m_strTitle; }

    CWnd* m_pMainWnd = nullptr;

private:
    CString m_strTitle;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
// The window that a new modal window should be owned by: the thread's active window, or else the
// main window; null when there is neither.
HWND AfxGetSafeOwner();
CString AfxLoadString(UINT nID);

// A modal message box captioned with the application's title and owned by AfxGetSafeOwner().
// The OK-only style without an icon gains the exclamation icon. There is no help file, so helpId
// is not used.
int AfxMessageBox(const char* pszText, UINT nType = MB_OK, UINT nIDHelp = 0);

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
