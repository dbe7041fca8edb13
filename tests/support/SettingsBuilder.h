#pragma once

#include "config/AddressSettings.h"

// The four settings in the order the dialog shows them, top to bottom.
inline AddressSettings MakeSettings(const char* controlUnit, const char* shelfMng, const char* subnetMask,
                                    const char* defaultRouter)
{
    AddressSettings settings;
    settings.m_strControlUnitIp = controlUnit;
    settings.m_strShelfMngIp = shelfMng;
    settings.m_strSubnetMask = subnetMask;
    settings.m_strDefaultRouter = defaultRouter;
    return settings;
}

// The settings of the sample file (SampleConfig.h).
inline AddressSettings SampleSettings()
{
    return MakeSettings("10.1.1.3", "10.1.1.2", "255.255.255.0", "10.1.1.1");
}
