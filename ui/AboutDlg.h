#pragma once

#include "framework/CDialog.h"
#include "res/resource.h"

// The About box: name, version and what the tool does. Owned by the settings dialog while it runs.
class CAboutDlg : public CDialog
{
public:
    static constexpr UINT IDD = IDD_ABOUTBOX;

    CAboutDlg() : CDialog(IDD) {}
};
