#include "cli/TavrelCtl.h"

#include "cli/CommandReport.h"
#include "cli/Commands.h"
#include "cli/CommandLine.h"
#include "cli/HelpText.h"
#include "cli/QuoteControls.h"
#include "res/Version.h"

ExitStatus RunTavrelCtl(std::span<const std::string_view> args, OutputStream& out, OutputStream& err)
{
    const ParsedCommandLine parsed = ParseCommandLine(args);
    if (!parsed.request)
    {
        // The JSON below quotes the error by its own rule, from the text as it is.
        err << QuoteControls("tavrelctl: " + parsed.error + " (see tavrelctl --help)") << '\n';
        if (AsksForJson(args))
        {
            CommandReport report;
            report.error = CommandError{"usage", parsed.error};
            out << ReportAsJson(report);
        }
        return ExitStatus::Usage;
    }
    switch (parsed.request->command)
    {
    case Command::Help:
        out << kHelpText;
        return ExitStatus::Success;
    case Command::Version:
        out << "tavrelctl " TAVREL_VERSION_STRING "\n";
        return ExitStatus::Success;
    case Command::Show:
    case Command::Check:
    case Command::Set:
        break;
    }
    return RunFileCommand(*parsed.request, out, err);
}
