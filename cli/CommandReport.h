#pragma once

#include "cli/NetworkWarnings.h"
#include "config/AddressSettings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Why a command failed: a code that scripts may rely on, and the message told on standard error
// (without its "tavrelctl: FILE: " lead).
struct CommandError
{
    std::string_view code;
    std::string message;
};

// What a command found, for --json; each part only where the command got that far.
struct CommandReport
{
    // What the file holds when the command ends: as loaded, or as set wrote it.
    std::optional<AddressSettings> settings;
    std::optional<std::vector<NetworkWarning>> warnings;
    std::optional<bool> changed;
    std::optional<CommandError> error;
};

// The report as one JSON object on one line, ending in a line feed:
// {"settings":{"control-unit":...},"warnings":[{"code":...,"message":...}],"changed":...,"error":{...}}
std::string ReportAsJson(const CommandReport& report);
