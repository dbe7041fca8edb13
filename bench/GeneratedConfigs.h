#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// Every large file starts with the first line and ends with the second (after a line end, without
// one of its own), and no other line names the Control Unit or the mask: a load that really read
// the whole file ends with both fields set to these values.
inline constexpr std::string_view kFirstLine = "MANAGMENT_IP_ADDR=10.1.1.3\r\n";
inline constexpr std::string_view kFirstValue = "10.1.1.3";
inline constexpr std::string_view kLastLine = "\r\nMANAGMENT_SUBNETMASK=255.255.0.0";
inline constexpr std::string_view kLastValue = "255.255.0.0";

// Hostile but possible contents of a large lan.cfg.
enum class ConfigShape
{
    EndlessLine, // no line end at all between the first and the last line
    Lines250,    // key=value lines padded to 250 bytes: each is split into two reads
    NulHeavy,    // short lines made mostly of NUL bytes after a key=value
    AllEquals,   // lines of nothing but "="
};

inline constexpr std::array kAllShapes = {ConfigShape::EndlessLine, ConfigShape::Lines250, ConfigShape::NulHeavy,
                                          ConfigShape::AllEquals};

std::string_view ShapeName(ConfigShape shape);

// Exactly `bytes` bytes: the first line, the shape's lines (the last one possibly cut short), the
// last line.
std::string MakeConfig(ConfigShape shape, std::size_t bytes);
