#include "cli/ConsoleFeedback.h"

#include "cli/QuoteControls.h"

namespace
{
std::string OneLine(const char* text)
{
    std::string line;
    for (const char* p = text; *p != '\0'; ++p)
    {
        if (*p != '\n')
        {
            line += *p;
        }
        else if (!line.empty() && line.back() != ' ')
        {
            line += ' ';
        }
    }
    return line;
}
} // namespace

void ConsoleFeedback::ShowMessage(const char* text)
{
    Report(OneLine(text));
}

void ConsoleFeedback::ReportWithCause(const char* text, std::string_view cause)
{
    Report(OneLine(text) + ": " + std::string(cause));
}

// The text is kept as it is for --json, which escapes it by its own rule; only the line on standard
// error is quoted.
void ConsoleFeedback::Report(std::string_view text)
{
    m_lastReport = text;
    m_err << QuoteControls("tavrelctl: " + m_file + ": " + m_lastReport) << '\n';
}

void ConsoleFeedback::Warn(std::string_view text)
{
    m_err << QuoteControls("tavrelctl: " + m_file + ": warning: " + std::string(text)) << '\n';
}
