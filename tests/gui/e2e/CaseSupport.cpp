#include "tests/gui/e2e/CaseSupport.h"

#include "tests/gui/e2e/Keyboard.h"
#include "tests/gui/e2e/Wait.h"

namespace e2e
{

std::string Show(const std::optional<Selection>& sel)
{
    if (!sel)
        return "(no answer)";
    return "(" + std::to_string(sel->start) + ", " + std::to_string(sel->end) + ")";
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

bool ExpectMessageBox(Context& t, const TavrelProcess& app, std::string_view text,
                      const std::function<void()>& whileShown, std::source_location where)
{
    const auto box = app.WaitForMessageBox();
    if (!box)
    {
        t.Fail(where.file_name(), static_cast<int>(where.line()),
               "no message box came up; expected one saying " + Quote(text));
        return false;
    }
    if (box->caption != "Tavrel")
    {
        t.Fail(where.file_name(), static_cast<int>(where.line()),
               "message box caption is " + Quote(box->caption) + ", expected \"Tavrel\"");
    }
    if (box->text != text)
    {
        t.Fail(where.file_name(), static_cast<int>(where.line()),
               "message box says " + Quote(box->text) + ", expected " + Quote(text));
    }
    if (whileShown)
        whileShown();
    if (!app.CloseMessageBox(*box))
    {
        t.Fail(where.file_name(), static_cast<int>(where.line()), "the message box did not close on Enter");
        return false;
    }
    return true;
}

bool TabTo(const TavrelProcess& app, int id, bool backwards)
{
    for (int step = 0; step < 7; ++step)
    {
        if (app.FocusId() == id)
            return true;
        const int before = app.FocusId();
        app.Key(VK_TAB, backwards ? kShift : kNoModifier);
        if (!WaitUntil([&] { return app.FocusId() != before; }))
            return false;
    }
    return app.FocusId() == id;
}

bool CloseWithEscape(Context& t, TavrelProcess& app, std::source_location where)
{
    app.Key(VK_ESCAPE);
    if (app.WaitForExit())
        return true;
    t.Fail(where.file_name(), static_cast<int>(where.line()), "Tavrel did not end on Escape");
    return false;
}

} // namespace e2e
