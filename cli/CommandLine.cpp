#include "cli/CommandLine.h"

#include "config/ConfigFile.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace
{
constexpr unsigned Bit(Command command)
{
    return 1U << static_cast<unsigned>(command);
}

constexpr unsigned kFileCommands = Bit(Command::Show) | Bit(Command::Check) | Bit(Command::Set);

struct CommandWord
{
    std::string_view word;
    Command command;
};

constexpr std::array<CommandWord, 4> kCommandWords = {{
    {"show", Command::Show},
    {"check", Command::Check},
    {"set", Command::Set},
    {"help", Command::Help},
}};

// The options after their "--": --file, --strict, --json, then one per setting in kSettingNames order.
struct OptionInfo
{
    std::string_view name;
    bool takesValue;
    unsigned commands;
};

constexpr std::size_t kFileOption = 0;
constexpr std::size_t kStrictOption = 1;
constexpr std::size_t kJsonOption = 2;
constexpr std::size_t kFirstSettingOption = 3;
constexpr std::size_t kOptionCount = kFirstSettingOption + kSettingCount;

constexpr std::array<OptionInfo, kOptionCount> MakeOptions()
{
    std::array<OptionInfo, kOptionCount> options{};
    options[kFileOption] = {"file", true, kFileCommands};
    options[kStrictOption] = {"strict", false, Bit(Command::Check) | Bit(Command::Set)};
    options[kJsonOption] = {"json", false, kFileCommands};
    for (std::size_t i = 0; i < kSettingCount; ++i)
    {
        options[kFirstSettingOption + i] = {kSettingNames[i].name, true, Bit(Command::Set)};
    }
    return options;
}

constexpr std::array<OptionInfo, kOptionCount> kOptions = MakeOptions();

std::optional<std::size_t> FindOption(std::string_view name)
{
    const auto found = std::ranges::find(kOptions, name, &OptionInfo::name);
    if (found == kOptions.end())
    {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - kOptions.begin());
}

std::optional<Command> FindCommand(std::string_view word)
{
    const auto found = std::ranges::find(kCommandWords, word, &CommandWord::word);
    if (found == kCommandWords.end())
    {
        return std::nullopt;
    }
    return found->command;
}

bool IsAscii(std::string_view text)
{
    return std::ranges::none_of(text, [](char ch) { return static_cast<unsigned char>(ch) >= 0x80; });
}

std::string Quoted(std::string_view text)
{
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) about "'" + std::string.
    std::string quoted(1, '\'');
    quoted.append(text);
    quoted.push_back('\'');
    return quoted;
}

ParsedCommandLine Refuse(std::string error)
{
    return {std::nullopt, std::move(error)};
}

ParsedCommandLine Accept(Request request)
{
    return {std::move(request), {}};
}

ParsedCommandLine Accept(Command command)
{
    Request request;
    request.command = command;
    return Accept(std::move(request));
}

bool Contains(std::span<const std::string_view> args, std::string_view wanted)
{
    return std::ranges::find(args, wanted) != args.end();
}

// --help, or the Windows habit /? and -?, as a word of its own. Unlike --help, "-?" and "/?" may be
// an option's value (a file named so), and are then left to be one.
bool AsksForHelp(std::span<const std::string_view> args)
{
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "/?" || arg == "-?")
        {
            return true;
        }
        const std::optional<std::size_t> option =
            arg.starts_with("--") && arg.find('=') == std::string_view::npos ? FindOption(arg.substr(2)) : std::nullopt;
        if (option && kOptions[*option].takesValue && i + 1 < args.size() && !args[i + 1].starts_with("--"))
        {
            ++i;
        }
    }
    return false;
}
} // namespace

bool AsksForJson(std::span<const std::string_view> args)
{
    return Contains(args, "--json");
}

ParsedCommandLine ParseCommandLine(std::span<const std::string_view> args)
{
    // These answer whatever else is given.
    if (AsksForHelp(args))
    {
        return Accept(Command::Help);
    }
    if (Contains(args, "--version"))
    {
        return Accept(Command::Version);
    }

    Request request;
    request.file = kConfigFileName;
    std::optional<Command> command;
    std::string_view commandWord;
    std::array<bool, kOptionCount> given{};
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string_view arg = args[i];
        if (!arg.starts_with('-'))
        {
            if (command)
            {
                return Refuse("unexpected argument " + Quoted(arg));
            }
            command = FindCommand(arg);
            commandWord = arg;
            if (!command)
            {
                return Refuse("unknown command " + Quoted(arg));
            }
            continue;
        }

        // "--name value" or "--name=value".
        const std::size_t equals = arg.find('=');
        const std::string_view spelled = arg.substr(0, equals);
        const std::optional<std::size_t> option =
            spelled.starts_with("--") ? FindOption(spelled.substr(2)) : std::nullopt;
        if (!option)
        {
            return Refuse("unknown option " + Quoted(spelled));
        }
        const std::string name(spelled);
        // A repeated option is refused rather than guessed at: it is most likely a slip in a script.
        if (given[*option])
        {
            return Refuse(name + " is given twice");
        }
        given[*option] = true;
        if (!kOptions[*option].takesValue)
        {
            if (equals != std::string_view::npos)
            {
                return Refuse(name + " takes no value");
            }
            (*option == kStrictOption ? request.strict : request.json) = true;
            continue;
        }

        std::string_view value;
        if (equals != std::string_view::npos)
        {
            value = arg.substr(equals + 1);
        }
        else if (i + 1 < args.size() && !args[i + 1].starts_with("--"))
        {
            value = args[++i];
        }
        else
        {
            return Refuse("missing value for " + name);
        }
        if (value.empty())
        {
            return Refuse("empty value for " + name);
        }
        if (*option == kFileOption)
        {
            request.file = value;
            continue;
        }
        // An address is plain ASCII; anything else is a wrong argument, not an address to check.
        if (!IsAscii(value))
        {
            return Refuse("non-ASCII byte in the value of " + name);
        }
        request.newValues[*option - kFirstSettingOption] = std::string(value);
    }

    if (!command)
    {
        return Refuse("no command given");
    }
    request.command = *command;
    for (std::size_t i = 0; i < kOptionCount; ++i)
    {
        if (given[i] && (kOptions[i].commands & Bit(*command)) == 0)
        {
            return Refuse("--" + std::string(kOptions[i].name) + " does not go with " + std::string(commandWord));
        }
    }
    if (*command == Command::Set &&
        std::ranges::none_of(request.newValues, [](const auto& v) { return v.has_value(); }))
    {
        return Refuse("set names no setting to change");
    }
    return Accept(std::move(request));
}
