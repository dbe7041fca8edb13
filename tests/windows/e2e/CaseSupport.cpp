#include "tests/windows/e2e/CaseSupport.h"

#include "tests/windows/e2e/Keyboard.h"
#include "tests/windows/e2e/Wait.h"

namespace e2e
{

void PrintTo(const Selection& sel, std::ostream* os)
{
    *os << "(" << sel.start << ", " << sel.end << ")";
}

std::string CrLfLines(std::span<const std::string_view> lines)
{
    std::string text;
    for (const std::string_view line : lines)
    {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool ExpectMessageBox(const TavrelProcess& app, std::string_view text, const std::function<void()>& whileShown,
                      std::source_location where)
{
    const auto box = app.WaitForMessageBox();
    if (!box)
    {
        ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line()))
            << "no message box came up; expected one saying " << testing::PrintToString(std::string(text));
        return false;
    }
    EXPECT_EQ(box->caption, "Tavrel") << "caption of the message box (" << where.file_name() << ":" << where.line()
                                      << ")";
    EXPECT_EQ(box->text, text) << "text of the message box (" << where.file_name() << ":" << where.line() << ")";
    if (whileShown)
    {
        whileShown();
    }
    if (!app.CloseMessageBox(*box))
    {
        ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line())) << "the message box did not close on Enter";
        return false;
    }
    return true;
}

bool TabTo(const TavrelProcess& app, int id, bool backwards)
{
    for (int step = 0; step < 7; ++step)
    {
        if (app.FocusId() == id)
        {
            return true;
        }
        const int before = app.FocusId();
        app.Key(VK_TAB, backwards ? kShift : kNoModifier);
        if (!WaitUntil([&] { return app.FocusId() != before; }))
        {
            return false;
        }
    }
    return app.FocusId() == id;
}

bool CloseWithEscape(TavrelProcess& app, std::source_location where)
{
    app.Key(VK_ESCAPE);
    if (app.WaitForExit())
    {
        return true;
    }
    ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line())) << "Tavrel did not end on Escape";
    return false;
}

} // namespace e2e
