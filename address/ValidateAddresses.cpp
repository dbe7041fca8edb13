#include "address/ValidateAddresses.h"

#include "address/AddressMessages.h"
#include "address/NormalizeAddress.h"
#include "res/resource.h"

namespace
{
struct AddressCheck
{
    CString AddressSettings::*field;
    int controlId;
    const char* message;
};

// Top to bottom as the dialog shows the fields, which is neither the record's order nor the file's.
constexpr AddressCheck kChecks[] = {
    {&AddressSettings::m_strControlUnitIp, IDC_CONTROL_UNIT_IP, kInvalidControlUnitIpMessage},
    {&AddressSettings::m_strShelfMngIp, IDC_SHELF_MNG_IP, kInvalidShelfMngIpMessage},
    {&AddressSettings::m_strSubnetMask, IDC_SUBNET_MASK, kInvalidSubnetMaskMessage},
    {&AddressSettings::m_strDefaultRouter, IDC_DEFAULT_ROUTER, kInvalidDefaultRouterMessage},
};
} // namespace

bool ValidateAddresses(AddressSettings& settings, UserFeedback& feedback)
{
    for (const AddressCheck& check : kChecks)
    {
        if (!NormalizeAddress(settings.*check.field))
        {
            feedback.ShowMessage(check.message);
            feedback.FocusControl(check.controlId);
            return false;
        }
    }
    return true;
}
