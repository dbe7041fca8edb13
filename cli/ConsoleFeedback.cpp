#include "cli/ConsoleFeedback.h"

void ConsoleFeedback::ShowMessage(const char* text)
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
    Report(line);
}

void ConsoleFeedback::Report(std::string_view text)
{
    err_ << "tavrelctl: " << file_ << ": " << text << '\n';
}

void ConsoleFeedback::Warn(std::string_view text)
{
    err_ << "tavrelctl: " << file_ << ": warning: " << text << '\n';
}
