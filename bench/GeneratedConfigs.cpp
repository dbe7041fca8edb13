#include "bench/GeneratedConfigs.h"

namespace
{
std::string Pad(std::string_view text, char fill, std::size_t width)
{
    std::string line(text);
    line.resize(width, fill);
    return line;
}

// One repeating unit of each shape.
std::string Unit(ConfigShape shape)
{
    switch (shape)
    {
    case ConfigShape::EndlessLine:
        return "SHELF_MNG_IP_ADDR=10.1.1.2 ";
    case ConfigShape::Lines250:
        return Pad("SHELF_MNG_IP_ADDR=10.1.1.2", ' ', 248) + "\r\n";
    case ConfigShape::NulHeavy:
    {
        std::string line("SHELF_MNG_IP_ADDR=10.1.1.2");
        while (line.size() < 98)
        {
            line += line.size() % 8 == 0 ? '=' : '\0';
        }
        return line + "\r\n";
    }
    case ConfigShape::AllEquals:
        return std::string(198, '=') + "\r\n";
    }
    return {};
}
} // namespace

std::string_view ShapeName(ConfigShape shape)
{
    switch (shape)
    {
    case ConfigShape::EndlessLine:
        return "endless_line";
    case ConfigShape::Lines250:
        return "lines_250";
    case ConfigShape::NulHeavy:
        return "nul_heavy";
    case ConfigShape::AllEquals:
        return "all_equals";
    }
    return "unknown";
}

std::string MakeConfig(ConfigShape shape, std::size_t bytes)
{
    const std::string unit = Unit(shape);
    const std::size_t bodyEnd = bytes - kLastLine.size();
    std::string content(kFirstLine);
    content.reserve(bytes + unit.size());
    while (content.size() < bodyEnd)
    {
        content += unit;
    }
    content.resize(bodyEnd);
    content += kLastLine;
    return content;
}
