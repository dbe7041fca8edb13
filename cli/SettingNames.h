#pragma once

#include "config/AddressSettings.h"

#include <array>
#include <cstddef>
#include <string_view>

// How tavrelctl names the four settings: in its output, its options ("--" + name) and its warnings.
struct SettingName
{
    std::string_view name;
    CString AddressSettings::*field;
};

inline constexpr std::string_view kControlUnitName = "control-unit";
inline constexpr std::string_view kShelfManagementName = "shelf-management";
inline constexpr std::string_view kSubnetMaskName = "subnet-mask";
inline constexpr std::string_view kDefaultRouterName = "default-router";

// Top to bottom as the dialog shows them.
inline constexpr std::array<SettingName, 4> kSettingNames = {{
    {kControlUnitName, &AddressSettings::m_strControlUnitIp},
    {kShelfManagementName, &AddressSettings::m_strShelfMngIp},
    {kSubnetMaskName, &AddressSettings::m_strSubnetMask},
    {kDefaultRouterName, &AddressSettings::m_strDefaultRouter},
}};

inline constexpr std::size_t kSettingCount = kSettingNames.size();
