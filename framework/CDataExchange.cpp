#include "framework/CDataExchange.h"

#include "framework/CWnd.h"

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    const CWnd control = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (pDX->m_bSaveAndValidate)
    {
        value = control.GetWindowText();
    }
    else if (control.GetWindowText() != value)
    {
        control.SetWindowText(value);
    }
}
