#include "cli/Commands.h"

#include "address/ValidateAddresses.h"
#include "cli/CommandReport.h"
#include "cli/ConsoleFeedback.h"
#include "cli/NetworkWarnings.h"
#include "config/ConfigFile.h"
#include "config/ConfigText.h"
#include "files/FileLock.h"
#include "files/FileSystem.h"

#include <string>
#include <string_view>
#include <vector>

namespace
{
// The failures' codes in --json; scripts may rely on them, so they never change.
constexpr std::string_view kInvalidAddressCode = "invalid-address";
constexpr std::string_view kStrictWarningCode = "warning-under-strict";
constexpr std::string_view kNoSuchFileCode = "no-such-file";
constexpr std::string_view kNotRegularCode = "not-regular-file";
constexpr std::string_view kCannotReadCode = "cannot-read";
constexpr std::string_view kTooLargeCode = "too-large";
constexpr std::string_view kBusyCode = "busy";
constexpr std::string_view kCannotLockCode = "cannot-lock";
constexpr std::string_view kCannotWriteCode = "cannot-write";

// "cannot be read", and why where the system said.
std::string CannotBeRead(FileError error)
{
    static_assert(kMaxConfigFileBytes == 1024 * 1024, "the message names the limit");
    if (error == FileError::TooLarge)
    {
        return std::string("cannot be read: ") + DescribeFileError(error) + " (over 1 MiB)";
    }
    return error == FileError::None ? "cannot be read" : std::string("cannot be read: ") + DescribeFileError(error);
}

// One run of show, check or set: every message told on standard error as it comes, as ever, and
// what was found kept for --json.
class FileCommand
{
public:
    FileCommand(const Request& request, OutputStream& err) : m_request(request), m_feedback(err, request.file) {}

    ExitStatus Show();
    ExitStatus Check();
    ExitStatus Set();

    const CommandReport& Report() const { return m_report; }

private:
    // The failure just told on standard error, kept with its code.
    ExitStatus Failed(ExitStatus status, std::string_view code)
    {
        m_report.error = CommandError{code, m_feedback.LastReport()};
        return status;
    }

    bool Refuse(const ConfigReadResult& read);
    bool LoadSettings(bool missingIsEmpty, AddressSettings& settings, ConfigFileBytes* seen = nullptr);
    ExitStatus CheckLock(const FileLock& lock);
    ExitStatus CheckSettings(AddressSettings& settings);

    const Request& m_request;
    ConsoleFeedback m_feedback;
    CommandReport m_report;
};

// Tells why the file cannot be read, with status 2; always false.
bool FileCommand::Refuse(const ConfigReadResult& read)
{
    switch (read.status)
    {
    case ConfigReadStatus::Loaded:
        break;
    case ConfigReadStatus::Missing:
        m_feedback.Report("no such file");
        Failed(ExitStatus::FileError, kNoSuchFileCode);
        break;
    case ConfigReadStatus::NotRegular:
        m_feedback.Report("not a regular file");
        Failed(ExitStatus::FileError, kNotRegularCode);
        break;
    case ConfigReadStatus::Unreadable:
    case ConfigReadStatus::ReadFailed:
        m_feedback.Report(CannotBeRead(read.error));
        Failed(ExitStatus::FileError, read.error == FileError::TooLarge ? kTooLargeCode : kCannotReadCode);
        break;
    }
    return false;
}

// Reads the file by the dialog's rules. A missing file is an error unless missingIsEmpty: set
// starts from empty settings, as the dialog does.
bool FileCommand::LoadSettings(bool missingIsEmpty, AddressSettings& settings, ConfigFileBytes* seen)
{
    // Unlike the dialog, a failed read fails the command: what was read may not be all there is.
    const ConfigReadResult read = ReadConfigFile(m_request.file.c_str(), settings, seen);
    if (read.status == ConfigReadStatus::Loaded || (read.status == ConfigReadStatus::Missing && missingIsEmpty))
    {
        m_report.settings = settings;
        return true;
    }
    return Refuse(read);
}

// Tells why the lock was not taken, where it was not; success where set may go on.
ExitStatus FileCommand::CheckLock(const FileLock& lock)
{
    switch (lock.GetStatus())
    {
    case FileLock::Status::Held:
    case FileLock::Status::NothingToLock:
        break;
    case FileLock::Status::Busy:
        m_feedback.Report("being changed by another tavrelctl; try again");
        return Failed(ExitStatus::Busy, kBusyCode);
    case FileLock::Status::Unusable:
        // Anyone who may write the folder can put a folder or a link there; a weaker lock would lose
        // changes, so none is taken.
        m_feedback.Report("cannot be locked for the change: lock file " + m_request.file +
                          ".lock: " + DescribeFileError(lock.Cause()));
        return Failed(ExitStatus::Busy, kCannotLockCode);
    case FileLock::Status::Failed:
        m_feedback.Report("cannot be locked for the change");
        return Failed(ExitStatus::FileError, kCannotLockCode);
    }
    return ExitStatus::Success;
}

// The dialog's OK check, then the network checks on the canonical addresses it leaves.
ExitStatus FileCommand::CheckSettings(AddressSettings& settings)
{
    m_report.warnings.emplace();
    if (!ValidateAddresses(settings, m_feedback))
    {
        return Failed(ExitStatus::InvalidAddress, kInvalidAddressCode);
    }
    m_report.warnings = FindNetworkWarnings(settings);
    for (const NetworkWarning& warning : *m_report.warnings)
    {
        m_feedback.Warn(warning.message);
    }
    if (m_request.strict && !m_report.warnings->empty())
    {
        // Standard error has told the warnings themselves; this says what they did.
        m_report.error = CommandError{kStrictWarningCode, "a network warning fails the command under --strict"};
        return ExitStatus::Warning;
    }
    return ExitStatus::Success;
}

ExitStatus FileCommand::Show()
{
    AddressSettings settings;
    return LoadSettings(false, settings) ? ExitStatus::Success : ExitStatus::FileError;
}

ExitStatus FileCommand::Check()
{
    AddressSettings settings;
    if (!LoadSettings(false, settings))
    {
        return ExitStatus::FileError;
    }
    return CheckSettings(settings);
}

ExitStatus FileCommand::Set()
{
    // Nothing is written unless the end says otherwise.
    m_report.changed = false;
    // Looked at before a lock file is made beside it: a folder, a FIFO or a device is refused as the
    // read would refuse it, and gets no lock file.
    FileError error = FileError::None;
    switch (KindOfFile(m_request.file.c_str(), error))
    {
    case FileKind::Missing:
    case FileKind::Regular:
        break;
    case FileKind::NotRegular:
        Refuse({ConfigReadStatus::NotRegular});
        return ExitStatus::FileError;
    case FileKind::Unknown:
        Refuse({ConfigReadStatus::Unreadable, error});
        return ExitStatus::FileError;
    }
    // Held from the read to the end of the write, so that two sets at once cannot both start from
    // the same old file and lose one change.
    const FileLock lock(m_request.file.c_str());
    if (const ExitStatus status = CheckLock(lock); status != ExitStatus::Success)
    {
        return status;
    }
    AddressSettings settings;
    ConfigFileBytes seen;
    if (!LoadSettings(true, settings, &seen))
    {
        return ExitStatus::FileError;
    }
    for (std::size_t i = 0; i < kSettingCount; ++i)
    {
        if (const std::optional<std::string>& value = m_request.newValues[i])
        {
            settings.*kSettingNames[i].field = CString(*value);
        }
    }
    if (const ExitStatus status = CheckSettings(settings); status != ExitStatus::Success)
    {
        return status;
    }
    // A file that already holds these very bytes is left alone, its time and identity with it, so
    // that a configuration manager can tell a change from none (--json's "changed").
    if (seen.Equals(BuildConfigText(settings)))
    {
        m_report.settings = settings;
        return ExitStatus::Success;
    }
    // The dialog's message, then what an operator can fix.
    error = WriteConfigFile(m_request.file.c_str(), settings);
    if (error != FileError::None)
    {
        m_feedback.ReportWithCause(kConfigWriteFailedMessage, DescribeFileError(error));
        return Failed(ExitStatus::FileError, kCannotWriteCode);
    }
    m_report.settings = settings;
    m_report.changed = true;
    return ExitStatus::Success;
}

ExitStatus Run(FileCommand& command, Command which)
{
    switch (which)
    {
    case Command::Show:
        return command.Show();
    case Command::Check:
        return command.Check();
    case Command::Set:
        return command.Set();
    case Command::Help:
    case Command::Version:
        break;
    }
    return ExitStatus::Usage;
}
} // namespace

ExitStatus RunFileCommand(const Request& request, OutputStream& out, OutputStream& err)
{
    FileCommand command(request, err);
    const ExitStatus status = Run(command, request.command);
    const CommandReport& report = command.Report();
    if (request.json)
    {
        out << ReportAsJson(report);
    }
    else if (request.command == Command::Show && report.settings)
    {
        for (const SettingName& setting : kSettingNames)
        {
            out << setting.name << '=' << FileBytes{((*report.settings).*setting.field).View()} << '\n';
        }
    }
    return status;
}
