#include "cli/ConsoleFeedback.h"

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

void ConsoleFeedback::Report(std::string_view text)
{
    m_lastReport = text;
    m_err << "tavrelctl: " << m_file << ": " << text << '\n';
}

void ConsoleFeedback::Warn(std::string_view text)
{
    m_err << "tavrelctl: " << m_file << ": warning: " << text << '\n';
}
