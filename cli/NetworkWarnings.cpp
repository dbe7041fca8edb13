#include "cli/NetworkWarnings.h"

#include "address/AddressScan.h"
#include "cli/SettingNames.h"

#include <bit>
#include <cstdint>
#include <string_view>

namespace
{
using Ipv4 = std::uint32_t;

// The warnings' codes in --json; scripts may rely on them, so they never change.
constexpr std::string_view kMaskNotContiguousCode = "mask-not-contiguous";
constexpr std::string_view kNetworkAddressCode = "network-address";
constexpr std::string_view kBroadcastAddressCode = "broadcast-address";
constexpr std::string_view kRouterOutsideCode = "router-outside-subnet";
constexpr std::string_view kSameAddressCode = "same-address";

// A canonical address is four numbers of at most 255, so the scan cannot fail here.
Ipv4 ToIpv4(const CString& canonical)
{
    Ipv4 address = 0;
    for (const std::uint32_t number : ScanAddress(canonical.View()).numbers)
    {
        address = (address << 8) | number;
    }
    return address;
}

std::string ToText(Ipv4 address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

// The host part is a run of ones at the bottom, possibly empty.
bool IsContiguous(Ipv4 mask)
{
    const Ipv4 host = ~mask;
    return (host & (host + 1)) == 0;
}

struct Interface
{
    std::string_view name;
    Ipv4 address;
};

std::string SubnetText(Ipv4 address, Ipv4 mask)
{
    return ToText(address & mask) + "/" + std::to_string(std::popcount(mask));
}

void CheckSubnetEnds(const Interface& endpoint, Ipv4 mask, std::vector<NetworkWarning>& warnings)
{
    // A /31 or /32 has no room for a network and a broadcast address: every address is a host.
    if (std::popcount(mask) >= 31)
    {
        return;
    }
    const Ipv4 host = endpoint.address & ~mask;
    if (host != 0 && host != ~mask)
    {
        return;
    }
    const bool network = host == 0;
    warnings.push_back({network ? kNetworkAddressCode : kBroadcastAddressCode,
                        std::string(endpoint.name) + " " + ToText(endpoint.address) + " is the " +
                            (network ? "network" : "broadcast") + " address of its subnet " +
                            SubnetText(endpoint.address, mask)});
}

void CheckRouterInside(const Interface& endpoint, Ipv4 router, Ipv4 mask, std::vector<NetworkWarning>& warnings)
{
    if (((router ^ endpoint.address) & mask) != 0)
    {
        warnings.push_back({kRouterOutsideCode, std::string(kDefaultRouterName) + " " + ToText(router) +
                                                    " is outside the subnet " + SubnetText(endpoint.address, mask) +
                                                    " of " + std::string(endpoint.name) + " " +
                                                    ToText(endpoint.address)});
    }
}
} // namespace

std::vector<NetworkWarning> FindNetworkWarnings(const AddressSettings& settings)
{
    const Interface controlUnit{kControlUnitName, ToIpv4(settings.m_strControlUnitIp)};
    const Interface shelfManagement{kShelfManagementName, ToIpv4(settings.m_strShelfMngIp)};
    const Ipv4 mask = ToIpv4(settings.m_strSubnetMask);
    const Ipv4 router = ToIpv4(settings.m_strDefaultRouter);

    std::vector<NetworkWarning> warnings;
    if (!IsContiguous(mask))
    {
        warnings.push_back(
            {kMaskNotContiguousCode, std::string(kSubnetMaskName) + " " + ToText(mask) +
                                         " is not contiguous ones then zeros; the subnet checks are skipped"});
    }
    else
    {
        CheckSubnetEnds(controlUnit, mask, warnings);
        CheckSubnetEnds(shelfManagement, mask, warnings);
        CheckRouterInside(controlUnit, router, mask, warnings);
        CheckRouterInside(shelfManagement, router, mask, warnings);
    }
    if (controlUnit.address == shelfManagement.address)
    {
        warnings.push_back({kSameAddressCode, std::string(kControlUnitName) + " and " +
                                                  std::string(kShelfManagementName) + " are the same address " +
                                                  ToText(controlUnit.address)});
    }
    return warnings;
}
