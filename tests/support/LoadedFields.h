#pragma once
// The four fields a load leaves in AddressSettings, as plain strings that compare and print.
#include "config/AddressSettings.h"

#include <ostream>
#include <string>

struct LoadedFields
{
    std::string shelfMng;
    std::string controlUnit;
    std::string mask;
    std::string router;

    bool operator==(const LoadedFields&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const LoadedFields& f)
{
    return os << "{shelf '" << f.shelfMng << "', unit '" << f.controlUnit << "', mask '" << f.mask << "', router '"
              << f.router << "'}";
}

inline LoadedFields FieldsOf(const AddressSettings& s)
{
    return {std::string(s.m_strShelfMngIp.View()), std::string(s.m_strControlUnitIp.View()),
            std::string(s.m_strSubnetMask.View()), std::string(s.m_strDefaultRouter.View())};
}
