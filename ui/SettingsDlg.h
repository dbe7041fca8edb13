#pragma once

#include <windows.h>

#include "common/UserFeedback.h"
#include "config/AddressSettings.h"
#include "framework/CDialog.h"
#include "framework/CMenu.h"
#include "framework/MessageMap.h"
#include "res/resource.h"

// The settings dialog: the four addresses of lan.cfg, checked and written on OK.
class CSettingsDlg : public CDialog, public UserFeedback
{
public:
    static constexpr UINT IDD = IDD_SETTINGS;

    CSettingsDlg();

    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

    void ShowMessage(const char* text) override;
    // Leaves the control's caret and selection as they are.
    void FocusControl(int controlId) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    // The system-menu About entry, the Help menu bar and the small window icon.
    void InstallDecorations();

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnAppAbout();
    // Called when the text of the named address field changes.
    void OnChangeControlUnitIp();
    void OnChangeShelfMngIp();
    void OnChangeSubnetMask();
    void OnChangeDefaultRouter();

    static const CMessageMap<CSettingsDlg>::Entry s_messageMap[];

    AddressSettings m_settings;
    HICON m_hIcon;
    CMenu m_menu;
};
