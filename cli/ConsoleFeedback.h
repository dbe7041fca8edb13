#pragma once

#include "common/UserFeedback.h"

#include "cli/Output.h"

#include <string>
#include <string_view>

// Where the dialog would show a message box, tavrelctl writes one line on the error stream, led by
// the program's name and the settings file it concerns, so that a loop over many units tells which.
// Control characters in the line are shown as escapes (QuoteControls), so that it stays one line.
class ConsoleFeedback final : public UserFeedback
{
public:
    ConsoleFeedback(OutputStream& err, std::string_view file) : m_err(err), m_file(file) {}

    // A message's second line joins its first: a console line is one message.
    void ShowMessage(const char* text) override;
    // A console has no controls; the message has already named the field.
    void FocusControl(int) override {}

    void Report(std::string_view text);
    // A message, then its cause after a colon, on one line.
    void ReportWithCause(const char* text, std::string_view cause);
    void Warn(std::string_view text);

    // The text of the last message reported, as it followed "tavrelctl: FILE: ".
    const std::string& LastReport() const { return m_lastReport; }

private:
    OutputStream& m_err;
    std::string m_file;
    std::string m_lastReport;
};
