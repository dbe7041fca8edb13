#include "cli/Commands.h"

#include "address/ValidateAddresses.h"
#include "cli/ConsoleFeedback.h"
#include "cli/NetworkWarnings.h"
#include "config/ConfigFile.h"
#include "files/FileLock.h"

#include <string>
#include <vector>

namespace
{
// "cannot be read", and why where the system said.
std::string CannotBeRead(FileError error)
{
    return error == FileError::None ? "cannot be read" : std::string("cannot be read: ") + DescribeFileError(error);
}

// Reads the file by the dialog's rules. A missing file is an error unless missingIsEmpty: set
// starts from empty settings, as the dialog does.
bool LoadSettings(const Request& request, bool missingIsEmpty, AddressSettings& settings, ConsoleFeedback& feedback)
{
    // Unlike the dialog, a failed read fails the command: what was read may not be all there is.
    const ConfigReadResult read = ReadConfigFile(request.file.c_str(), settings);
    switch (read.status)
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
    case ConfigReadStatus::ReadFailed:
        feedback.Report(CannotBeRead(read.error));
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

ExitStatus Show(const Request& request, OutputStream& out, ConsoleFeedback& feedback)
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
    // Held from the read to the end of the write, so that two sets at once cannot both start from
    // the same old file and lose one change.
    const FileLock lock(request.file.c_str());
    switch (lock.GetStatus())
    {
    case FileLock::Status::Held:
    case FileLock::Status::NothingToLock:
        break;
    case FileLock::Status::Busy:
        feedback.Report("being changed by another tavrelctl; try again");
        return ExitStatus::Busy;
    case FileLock::Status::Failed:
        feedback.Report("cannot be locked for the change");
        return ExitStatus::FileError;
    }
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

ExitStatus RunFileCommand(const Request& request, OutputStream& out, OutputStream& err)
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
