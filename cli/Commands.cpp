#include "cli/Commands.h"

#include "address/ValidateAddresses.h"
#include "cli/ConsoleFeedback.h"
#include "cli/NetworkWarnings.h"
#include "config/ConfigFile.h"

#include <vector>

namespace
{
// Reads the file by the dialog's rules. A missing file is an error unless missingIsEmpty: set
// starts from empty settings, as the dialog does.
bool LoadSettings(const Request& request, bool missingIsEmpty, AddressSettings& settings, ConsoleFeedback& feedback)
{
    switch (ReadConfigFile(request.file.c_str(), settings))
    {
    case ConfigReadStatus::Loaded:
        return true;
    case ConfigReadStatus::Missing:
        if (!missingIsEmpty)
        {
            feedback.Report("no such file");
        }
        return missingIsEmpty;
    case ConfigReadStatus::NotRegular:
        feedback.Report("not a regular file");
        return false;
    case ConfigReadStatus::Unreadable:
        feedback.Report("cannot be read");
        return false;
    }
    return false;
}

// The dialog's OK check, then the network checks on the canonical addresses it leaves.
ExitStatus CheckSettings(const Request& request, AddressSettings& settings, ConsoleFeedback& feedback)
{
    if (!ValidateAddresses(settings, feedback))
    {
        return ExitStatus::InvalidAddress;
    }
    const std::vector<std::string> warnings = FindNetworkWarnings(settings);
    for (const std::string& warning : warnings)
    {
        feedback.Warn(warning);
    }
    return request.strict && !warnings.empty() ? ExitStatus::Warning : ExitStatus::Success;
}

ExitStatus Show(const Request& request, std::ostream& out, ConsoleFeedback& feedback)
{
    AddressSettings settings;
    if (!LoadSettings(request, false, settings, feedback))
    {
        return ExitStatus::FileError;
    }
    for (const SettingName& setting : kSettingNames)
    {
        out << setting.name << '=' << (settings.*setting.field).View() << '\n';
    }
    return ExitStatus::Success;
}

ExitStatus Check(const Request& request, ConsoleFeedback& feedback)
{
    AddressSettings settings;
    if (!LoadSettings(request, false, settings, feedback))
    {
        return ExitStatus::FileError;
    }
    return CheckSettings(request, settings, feedback);
}

ExitStatus Set(const Request& request, ConsoleFeedback& feedback)
{
    AddressSettings settings;
    if (!LoadSettings(request, true, settings, feedback))
    {
        return ExitStatus::FileError;
    }
    for (std::size_t i = 0; i < kSettingCount; ++i)
    {
        if (const std::optional<std::string>& value = request.newValues[i])
        {
            settings.*kSettingNames[i].field = CString(*value);
        }
    }
    if (const ExitStatus status = CheckSettings(request, settings, feedback); status != ExitStatus::Success)
    {
        return status;
    }
    // The dialog's message, then what an operator can fix.
    const FileError error = WriteConfigFile(request.file.c_str(), settings);
    if (error != FileError::None)
    {
        feedback.ReportWithCause(kConfigWriteFailedMessage, DescribeFileError(error));
        return ExitStatus::FileError;
    }
    return ExitStatus::Success;
}
} // namespace

ExitStatus RunFileCommand(const Request& request, std::ostream& out, std::ostream& err)
{
    ConsoleFeedback feedback(err, request.file);
    switch (request.command)
    {
    case Command::Show:
        return Show(request, out, feedback);
    case Command::Check:
        return Check(request, feedback);
    case Command::Set:
        return Set(request, feedback);
    case Command::Help:
    case Command::Version:
        break;
    }
    return ExitStatus::Usage;
}
