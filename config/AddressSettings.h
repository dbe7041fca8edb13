#pragma once

#include "framework/CString.h"

// The four addresses the tool edits. The mask and the router are shared by both interfaces.
struct AddressSettings
{
    CString m_strDefaultRouter;
    CString m_strControlUnitIp;
    CString m_strShelfMngIp;
    CString m_strSubnetMask;
};
