#include "cli/CommandReport.h"

#include "cli/JsonText.h"
#include "cli/SettingNames.h"

namespace
{
// A member's name and its colon, after the comma that separates it from the one before.
void AppendName(std::string& json, std::string_view name)
{
    if (json.back() != '{')
    {
        json.push_back(',');
    }
    AppendJsonString(json, name);
    json.push_back(':');
}

void AppendCoded(std::string& json, std::string_view code, std::string_view message)
{
    json.push_back('{');
    AppendName(json, "code");
    AppendJsonString(json, code);
    AppendName(json, "message");
    AppendJsonString(json, message);
    json.push_back('}');
}
} // namespace

std::string ReportAsJson(const CommandReport& report)
{
    std::string json = "{";
    if (report.settings)
    {
        AppendName(json, "settings");
        json.push_back('{');
        for (const SettingName& setting : kSettingNames)
        {
            AppendName(json, setting.name);
            AppendJsonString(json, ((*report.settings).*setting.field).View());
        }
        json.push_back('}');
    }
    if (report.warnings)
    {
        AppendName(json, "warnings");
        json.push_back('[');
        for (const NetworkWarning& warning : *report.warnings)
        {
            if (json.back() != '[')
            {
                json.push_back(',');
            }
            AppendCoded(json, warning.code, warning.message);
        }
        json.push_back(']');
    }
    if (report.changed)
    {
        AppendName(json, "changed");
        json.append(*report.changed ? "true" : "false");
    }
    if (report.error)
    {
        AppendName(json, "error");
        AppendCoded(json, report.error->code, report.error->message);
    }
    json.append("}\n");
    return json;
}
