#include "DialogRun.h"

#include "framework/CWinApp.h"

Script& DialogRun::WaitUntilShown()
{
    return script.Wait(
        "the settings dialog",
        [this] { return Dlg() != nullptr && ::IsWindowVisible(Dlg()) && ::GetFocus() == Item(IDC_CONTROL_UNIT_IP); });
}

void DialogRun::Run()
{
    AfxGetApp()->m_pMainWnd = &dlg;
    script.Run([this] { nResult = dlg.DoModal(); });
    AfxGetApp()->m_pMainWnd = nullptr;
}
