#pragma once

#include "cli/SettingNames.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

enum class Command
{
    Show,
    Check,
    Set,
    Help,
    Version,
};

// What the command line asks for.
struct Request
{
    Command command = Command::Help;
    std::string file;
    bool strict = false;
    // The values given to set, in the order of kSettingNames; nothing where a setting is not named.
    std::array<std::optional<std::string>, kSettingCount> newValues;
};

// A request, or the one-line reason why the command line is refused.
struct ParsedCommandLine
{
    std::optional<Request> request;
    std::string error;
};

// args are the arguments after the program name.
ParsedCommandLine ParseCommandLine(std::span<const std::string_view> args);
