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
    // One JSON object on standard output instead of show's lines (and where the others print nothing).
    bool json = false;
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

// Whether --json is among the arguments, so that even a command line that is refused answers in JSON.
// A word that starts with "--" is never an option's value, so this holds whatever else is given.
bool AsksForJson(std::span<const std::string_view> args);
