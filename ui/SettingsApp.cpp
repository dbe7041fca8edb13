#include "ui/SettingsApp.h"

#include "res/resource.h"
#include "ui/SettingsDlg.h"

using AppMap = CMessageMap<CSettingsApp>;

const AppMap::Entry CSettingsApp::s_messageMap[] = {
    AppMap::Command{ID_HELP, &CSettingsApp::OnHelp},
};

bool CSettingsApp::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    return AppMap::Dispatch(s_messageMap, *this, message, wParam, lParam, lResult);
}

BOOL CSettingsApp::InitInstance()
{
    CSettingsDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // No message loop follows: the application ends here.
    return FALSE;
}
