#include "ui/SettingsDlg.h"

#include "ui/SettingsDlgMessages.h"

#include "address/CheckAddressKeystroke.h"
#include "address/ValidateAddresses.h"
#include "config/ConfigFile.h"
#include "framework/CDataExchange.h"
#include "framework/CWinApp.h"

using SettingsMap = CMessageMap<CSettingsDlg>;

const SettingsMap::Entry CSettingsDlg::s_messageMap[] = {
    SettingsMap::SysCommand{&CSettingsDlg::OnSysCommand},
    SettingsMap::Paint{&CSettingsDlg::OnPaint},
    SettingsMap::QueryDragIcon{&CSettingsDlg::OnQueryDragIcon},
    SettingsMap::Notify{IDC_CONTROL_UNIT_IP, EN_CHANGE, &CSettingsDlg::OnChangeControlUnitIp},
    SettingsMap::Command{ID_APP_ABOUT, &CSettingsDlg::OnAppAbout},
    SettingsMap::Notify{IDC_SHELF_MNG_IP, EN_CHANGE, &CSettingsDlg::OnChangeShelfMngIp},
    SettingsMap::Notify{IDC_SUBNET_MASK, EN_CHANGE, &CSettingsDlg::OnChangeSubnetMask},
    SettingsMap::Notify{IDC_DEFAULT_ROUTER, EN_CHANGE, &CSettingsDlg::OnChangeDefaultRouter},
};

CSettingsDlg::CSettingsDlg()
    : CDialog(IDD), m_hIcon(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_MAINFRAME)))
{
}

bool CSettingsDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    return SettingsMap::Dispatch(s_messageMap, *this, message, wParam, lParam, lResult);
}

void CSettingsDlg::ShowMessage(const char* text)
{
    AfxMessageBox(text, MB_OK, 0);
}

void CSettingsDlg::FocusControl(int controlId)
{
    GetDlgItem(controlId).SetFocus();
}

void CSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_DEFAULT_ROUTER, m_settings.m_strDefaultRouter);
    DDX_Text(pDX, IDC_CONTROL_UNIT_IP, m_settings.m_strControlUnitIp);
    DDX_Text(pDX, IDC_SHELF_MNG_IP, m_settings.m_strShelfMngIp);
    DDX_Text(pDX, IDC_SUBNET_MASK, m_settings.m_strSubnetMask);
}

BOOL CSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    InstallDecorations();
    LoadConfigFile(m_settings);
    // Each replaced text leaves its caret at the start, nothing selected.
    UpdateData(FALSE);
    GetDlgItem(IDC_CONTROL_UNIT_IP).SetFocus();
    return FALSE;
}

void CSettingsDlg::OnOK()
{
    UpdateData(TRUE);
    if (!ValidateAddresses(m_settings, *this))
    {
        return;
    }
    if (!SaveConfigFile(m_settings, *this))
    {
        return;
    }
    ShowMessage(kConfigUpdatedMessage);
    CDialog::OnOK();
}

void CSettingsDlg::OnChangeControlUnitIp()
{
    CheckAddressKeystroke(IDC_CONTROL_UNIT_IP, this);
}

void CSettingsDlg::OnChangeShelfMngIp()
{
    CheckAddressKeystroke(IDC_SHELF_MNG_IP, this);
}

void CSettingsDlg::OnChangeSubnetMask()
{
    CheckAddressKeystroke(IDC_SUBNET_MASK, this);
}

void CSettingsDlg::OnChangeDefaultRouter()
{
    CheckAddressKeystroke(IDC_DEFAULT_ROUTER, this);
}
