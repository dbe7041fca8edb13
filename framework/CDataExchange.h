#pragma once

#include "framework/CString.h"

class CWnd;

// The direction and the dialog of one UpdateData call.
class CDataExchange
{
public:
    CDataExchange(const CWnd* pDlgWnd, bool bSaveAndValidate) : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate)
    {
    }

    const CWnd* m_pDlgWnd;
    bool m_bSaveAndValidate;
};

// Binds a string member to the control nIDC. Saving reads the control's whole text; loading writes
// the member into the control only when the texts differ, so an unchanged control keeps its caret
// and selection and raises no change notification.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
