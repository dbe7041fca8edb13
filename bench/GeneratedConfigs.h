#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The file the tool itself writes: what the loader sees on every ordinary start.
inline constexpr std::string_view kTypicalConfig = "[GENERAL INFORMATION]\r\n"
                                                   "SHELF_MNG_IP_ADDR=10.1.1.2\r\n"
                                                   "SHELF_MNG_SUBNETMASK=255.255.255.0\r\n"
                                                   "SHELF_MNG_DEFGATEWAY=10.1.1.1\r\n"
                                                   "MANAGMENT_IP_ADDR=10.1.1.3\r\n"
                                                   "MANAGMENT_SUBNETMASK=255.255.255.0\r\n"
                                                   "MANAGMENT_DEFGATEWAY=10.1.1.1\r\n";

// Every large file starts with this line and no later line names the Control Unit, so a load that
// really read the file ends with the Control Unit field set to this value.
inline constexpr std::string_view kMarkerLine = "MANAGMENT_IP_ADDR=10.1.1.3\r\n";
inline constexpr std::string_view kMarkerValue = "10.1.1.3";

// Hostile but possible contents of a large lan.cfg.
enum class ConfigShape
{
    EndlessLine, // no line end at all after the marker line
    Lines250,    // key=value lines padded to 250 bytes: each is split into two reads
    NulHeavy,    // short lines made mostly of NUL bytes after a key=value
    AllEquals,   // lines of nothing but "="
};

inline constexpr std::array kAllShapes = {ConfigShape::EndlessLine, ConfigShape::Lines250, ConfigShape::NulHeavy,
                                          ConfigShape::AllEquals};

std::string_view ShapeName(ConfigShape shape);

// Exactly `bytes` bytes of the given shape (the last line may be cut short).
std::string MakeConfig(ConfigShape shape, std::size_t bytes);
