#pragma once

#include "framework/CWinApp.h"
#include "framework/MessageMap.h"

// The application: runs the settings dialog once and ends.
class CSettingsApp : public CWinApp
{
public:
    BOOL InitInstance() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

private:
    static const CMessageMap<CSettingsApp>::Entry s_messageMap[];
};
