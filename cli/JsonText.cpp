#include "cli/JsonText.h"

void AppendJsonString(std::string& json, std::string_view bytes)
{
    constexpr char kHex[] = "0123456789abcdef";
    json.push_back('"');
    for (const char ch : bytes)
    {
        const auto byte = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\')
        {
            json.push_back('\\');
            json.push_back(ch);
        }
        else if (byte >= 0x20 && byte < 0x7F)
        {
            json.push_back(ch);
        }
        else
        {
            json.append("\\u00");
            json.push_back(kHex[byte >> 4]);
            json.push_back(kHex[byte & 0xF]);
        }
    }
    json.push_back('"');
}
