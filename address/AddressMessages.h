#pragma once

// What the OK check tells the user about the first field that is not a dotted address.
inline constexpr const char kInvalidControlUnitIpMessage[] = "Invalid Control Unit IP address";
inline constexpr const char kInvalidShelfMngIpMessage[] = "Invalid Shelf Management IP address";
inline constexpr const char kInvalidSubnetMaskMessage[] = "Invalid Subnet Mask IP address";
inline constexpr const char kInvalidDefaultRouterMessage[] = "Invalid Default Router IP address";
