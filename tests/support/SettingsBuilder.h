#pragma once

#include "config/AddressSettings.h"
#include "tests/support/SampleConfig.h"

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

// The settings of the sample file.
inline AddressSettings SampleSettings()
{
    return MakeSettings(kSampleControlUnit, kSampleShelfMng, kSampleSubnetMask, kSampleDefaultRouter);
}
