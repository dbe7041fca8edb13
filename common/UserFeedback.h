#pragma once

// How the settings logic speaks to the user, without knowing about windows.
class UserFeedback
{
public:
    // Shows a modal message with one OK button; returns once the user has closed it.
    virtual void ShowMessage(const char* text) = 0;
    // Gives the keyboard focus to the dialog control with this id, keeping its caret and selection.
    virtual void FocusControl(int controlId) = 0;

protected:
    UserFeedback() = default;
    UserFeedback(const UserFeedback&) = default;
    UserFeedback& operator=(const UserFeedback&) = default;
    ~UserFeedback() = default;
};
