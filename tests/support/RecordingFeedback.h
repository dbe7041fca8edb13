#pragma once

#include <string>
#include <vector>

#include "common/UserFeedback.h"

// Stands in for the dialog: records what the logic tells the user, in the order it happens.
class RecordingFeedback final : public UserFeedback
{
public:
    void ShowMessage(const char* text) override
    {
        messages.emplace_back(text);
        events.push_back("message: " + std::string(text));
    }
    void FocusControl(int controlId) override { events.push_back("focus: " + std::to_string(controlId)); }

    // The texts shown, in order.
    std::vector<std::string> messages;
    // Messages and focus changes together, e.g. "message: Invalid ..." then "focus: 1004".
    std::vector<std::string> events;
};
