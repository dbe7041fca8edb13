#include "config/ConfigText.h"

#include <array>
#include <cstring>

namespace
{
struct KeyBinding
{
    std::string_view key;
    CString AddressSettings::*field;
};

// In the order the file is written.
constexpr std::array<KeyBinding, 6> kKeys = {{
    {"SHELF_MNG_IP_ADDR", &AddressSettings::m_strShelfMngIp},
    {"SHELF_MNG_SUBNETMASK", &AddressSettings::m_strSubnetMask},
    {"SHELF_MNG_DEFGATEWAY", &AddressSettings::m_strDefaultRouter},
    {"MANAGMENT_IP_ADDR", &AddressSettings::m_strControlUnitIp},
    {"MANAGMENT_SUBNETMASK", &AddressSettings::m_strSubnetMask},
    {"MANAGMENT_DEFGATEWAY", &AddressSettings::m_strDefaultRouter},
}};

constexpr std::string_view kSectionHeader = "[GENERAL INFORMATION]";
constexpr std::string_view kLineEnd = "\r\n";

// A LF inside a value is a line end to a text-mode stream, and so is written as CR LF.
void AppendTextMode(std::string& text, std::string_view value)
{
    for (std::size_t lf = value.find('\n'); lf != std::string_view::npos; lf = value.find('\n'))
    {
        text.append(value.substr(0, lf));
        text.append(kLineEnd);
        value.remove_prefix(lf + 1);
    }
    text.append(value);
}
} // namespace

void ApplyConfigLine(std::string_view line, AddressSettings& settings)
{
    if (const void* nul = std::memchr(line.data(), '\0', line.size()))
    {
        line = line.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - line.data()));
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0)
    {
        return;
    }
    const std::string_view key = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    for (const KeyBinding& binding : kKeys)
    {
        if (binding.key == key)
        {
            settings.*binding.field = CString(std::string(value));
            return;
        }
    }
}

FileError LoadConfigFrom(ConfigByteSource& source, AddressSettings& settings)
{
    ConfigLineReader reader(source);
    // The end test follows the handling, so a last line without a line end still counts.
    do
    {
        ApplyConfigLine(reader.ReadLine(), settings);
    } while (!reader.AtEnd());
    return reader.Error();
}

void LoadConfigText(std::string_view bytes, AddressSettings& settings)
{
    MemoryByteSource source(bytes);
    LoadConfigFrom(source, settings);
}

std::string BuildConfigText(const AddressSettings& settings)
{
    std::string text;
    text.append(kSectionHeader);
    text.append(kLineEnd);
    for (const KeyBinding& binding : kKeys)
    {
        text.append(binding.key);
        text.push_back('=');
        AppendTextMode(text, (settings.*binding.field).View());
        text.append(kLineEnd);
    }
    return text;
}
