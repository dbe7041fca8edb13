// Screening of what is typed or pasted into the four address fields.

#include "tests/gui/e2e/CaseSupport.h"

#include "tests/gui/e2e/Keyboard.h"
#include "tests/gui/e2e/Wait.h"

#include <array>

namespace e2e
{

namespace
{

constexpr std::array kAddressFields = {kControlUnit, kShelfMng, kSubnetMask, kDefaultRouter};

// A file that sets only the Control Unit field.
std::string ControlUnitFile(std::string_view value)
{
    return "MANAGMENT_IP_ADDR=" + std::string(value) + "\r\n";
}

// Digits and periods typed into an empty field pass without a word.
void DigitsAndPeriodsPass(Context& t)
{
    TavrelProcess app(t.TavrelExe(), std::nullopt);
    REQUIRE(t, app.WaitForDialog());
    for (const int id : kAddressFields)
    {
        Context::Scope scope(t, "field " + std::to_string(id));
        REQUIRE(t, TabTo(app, id));
        CHECK(t, app.Type("10.1.1.2"));
        CHECK_EQ(t, app.Text(id), "10.1.1.2");
        CHECK_EQ(t, app.Sel(id), (Selection{8, 8}));
    }
    CHECK(t, app.NoMessageBoxFor(300ms));
    CloseWithEscape(t, app);
}

// A letter after 10.1 is refused in every field: message, removed, caret back at the end.
void LetterRefused(Context& t)
{
    TavrelProcess app(t.TavrelExe(), std::nullopt);
    REQUIRE(t, app.WaitForDialog());
    for (const int id : kAddressFields)
    {
        Context::Scope scope(t, "field " + std::to_string(id));
        REQUIRE(t, TabTo(app, id));
        REQUIRE(t, app.Type("10.1"));
        TypeChar('a');
        // The refused character is still there while the message is shown.
        if (!ExpectMessageBox(t, app, kInvalidAddressChar, [&] { CHECK_EQ(t, app.Text(id), "10.1a"); }))
            return;
        CHECK_SOON_EQ(t, app.Text(id), "10.1");
        CHECK_SOON_EQ(t, app.FocusId(), id);
        CHECK_SOON_EQ(t, app.Sel(id), (Selection{4, 4}));
    }
    CloseWithEscape(t, app);
}

// A blank typed between 10 and .1 is removed and the caret stands after 10.
void BlankInsideRefused(Context& t)
{
    TavrelProcess app(t.TavrelExe(), std::nullopt);
    REQUIRE(t, app.WaitForDialog());
    REQUIRE(t, app.Type("10.1"));
    app.Key(VK_HOME);
    REQUIRE_SOON_EQ(t, app.Sel(kControlUnit), (Selection{0, 0}));
    app.Key(VK_RIGHT);
    app.Key(VK_RIGHT);
    REQUIRE_SOON_EQ(t, app.Sel(kControlUnit), (Selection{2, 2}));
    TypeChar(' ');
    ExpectMessageBox(t, app, kInvalidAddressChar);
    CHECK_SOON_EQ(t, app.Text(kControlUnit), "10.1");
    CHECK_SOON_EQ(t, app.Sel(kControlUnit), (Selection{2, 2}));
    CloseWithEscape(t, app);
}

// A letter typed over a whole selected text is refused and leaves the field empty.
void LetterOverSelectionEmptiesField(Context& t)
{
    const struct
    {
        const char* name;
        int field;
        void (*select)(const TavrelProcess&);
    } rows[] = {
        // Wine's edit control ignores Ctrl+A, so select the way that works in both.
        {"home_shift_end", kControlUnit,
         [](const TavrelProcess& app)
         {
             app.Key(VK_HOME);
             app.Key(VK_END, kShift);
         }},
        {"tab_selects", kShelfMng, [](const TavrelProcess& app) { TabTo(app, kShelfMng); }},
    };
    for (const auto& row : rows)
    {
        Context::Scope scope(t, row.name);
        TavrelProcess app(t.TavrelExe(), kCanonicalSample);
        REQUIRE(t, app.WaitForDialog());
        row.select(app);
        REQUIRE_SOON_EQ(t, app.Sel(row.field), (Selection{0, 8}));
        TypeChar('x');
        if (!ExpectMessageBox(t, app, kInvalidAddressChar, [&] { CHECK_EQ(t, app.Text(row.field), "x"); }))
            return;
        CHECK_SOON_EQ(t, app.Text(row.field), "");
        CHECK_EQ(t, app.Sel(row.field), (Selection{0, 0}));
        CloseWithEscape(t, app);
        CHECK_EQ(t, app.LanCfg().value_or("(missing)"), kCanonicalSample);
    }
}

// Backspace at the end re-examines the character that comes to stand before the caret.
void BackspaceReexamines(Context& t)
{
    const struct
    {
        std::string_view loaded;
        std::string_view afterBackspace;
        bool refused; // then the exposed character goes too
        std::string_view final;
    } rows[] = {
        {"10.1.2", "10.1.", false, "10.1."},
        {"10.12", "10.1", false, "10.1"},
        {"10.1a2", "10.1a", true, "10.1"},
        {"1 2", "1 ", true, "1"},
    };
    for (const auto& row : rows)
    {
        Context::Scope scope(t, std::string(row.loaded));
        TavrelProcess app(t.TavrelExe(), ControlUnitFile(row.loaded));
        REQUIRE(t, app.WaitForDialog());
        CHECK(t, app.NoMessageBoxFor(200ms)); // loaded text is not screened
        app.Key(VK_END);
        const int end = static_cast<int>(row.loaded.size());
        REQUIRE_SOON_EQ(t, app.Sel(kControlUnit), (Selection{end, end}));
        app.Key(VK_BACK);
        if (row.refused)
        {
            if (!ExpectMessageBox(t, app, kInvalidAddressChar,
                                  [&] { CHECK_EQ(t, app.Text(kControlUnit), row.afterBackspace); }))
                return;
        }
        else
        {
            CHECK_SOON_EQ(t, app.Text(kControlUnit), row.afterBackspace);
            CHECK(t, app.NoMessageBoxFor(300ms));
        }
        CHECK_SOON_EQ(t, app.Text(kControlUnit), row.final);
        const int caret = static_cast<int>(row.final.size());
        CHECK_SOON_EQ(t, app.Sel(kControlUnit), (Selection{caret, caret}));
        CloseWithEscape(t, app);
    }
}

// Only the character that ends up before the caret is examined after a paste.
void PasteExaminesLastCharacter(Context& t)
{
    const struct
    {
        std::string_view pasted;
        std::string_view afterPaste;
        bool refused;
        std::string_view final;
    } rows[] = {
        {"a1", "10.1.a1", false, "10.1.a1"},
        {"1a", "10.1.1a", true, "10.1.1"},
        {"1.1", "10.1.1.1", false, "10.1.1.1"},
    };
    for (const auto& row : rows)
    {
        Context::Scope scope(t, "pasting " + std::string(row.pasted));
        TavrelProcess app(t.TavrelExe(), ControlUnitFile("10.1."));
        REQUIRE(t, app.WaitForDialog());
        REQUIRE(t, PutOnClipboard(row.pasted));
        app.Key(VK_END);
        REQUIRE_SOON_EQ(t, app.Sel(kControlUnit), (Selection{5, 5}));
        app.Key('V', kCtrl);
        if (row.refused)
        {
            if (!ExpectMessageBox(t, app, kInvalidAddressChar,
                                  [&] { CHECK_EQ(t, app.Text(kControlUnit), row.afterPaste); }))
                return;
        }
        else
        {
            CHECK_SOON_EQ(t, app.Text(kControlUnit), row.afterPaste);
            CHECK(t, app.NoMessageBoxFor(300ms));
        }
        CHECK_SOON_EQ(t, app.Text(kControlUnit), row.final);
        const int caret = static_cast<int>(row.final.size());
        CHECK_SOON_EQ(t, app.Sel(kControlUnit), (Selection{caret, caret}));
        CloseWithEscape(t, app);
    }
}

// Odd characters loaded from the file stay untouched until a change puts one before the caret.
void LoadedTextLeftAlone(Context& t)
{
    const std::string file = "MANAGMENT_IP_ADDR=10.1.1.3x\r\nSHELF_MNG_IP_ADDR=a.b\r\n"
                             "SHELF_MNG_SUBNETMASK=255 255\r\nSHELF_MNG_DEFGATEWAY=-1\r\n";
    TavrelProcess app(t.TavrelExe(), file);
    REQUIRE(t, app.WaitForDialog());
    CHECK(t, app.NoMessageBoxFor(500ms));
    CHECK_EQ(t, app.Text(kControlUnit), "10.1.1.3x");
    CHECK_EQ(t, app.Text(kShelfMng), "a.b");
    CHECK_EQ(t, app.Text(kSubnetMask), "255 255");
    CHECK_EQ(t, app.Text(kDefaultRouter), "-1");

    // Moving through the fields changes no text, so nothing is screened.
    REQUIRE(t, TabTo(app, kDefaultRouter));
    app.Key(VK_END);
    REQUIRE_SOON_EQ(t, app.Sel(kDefaultRouter), (Selection{2, 2}));
    CHECK(t, app.NoMessageBoxFor(300ms));

    // Backspace puts the loaded '-' before the caret: now it is refused.
    app.Key(VK_BACK);
    ExpectMessageBox(t, app, kInvalidAddressChar);
    CHECK_SOON_EQ(t, app.Text(kDefaultRouter), "");
    CHECK_EQ(t, app.Text(kControlUnit), "10.1.1.3x");
    CHECK_EQ(t, app.Text(kShelfMng), "a.b");
    CHECK_EQ(t, app.Text(kSubnetMask), "255 255");
    CloseWithEscape(t, app);
    CHECK_EQ(t, app.LanCfg().value_or("(missing)"), file);
}

constexpr Case kCases[] = {
    {"filter_digits_and_periods_pass", DigitsAndPeriodsPass},
    {"filter_letter_refused", LetterRefused},
    {"filter_blank_inside_refused", BlankInsideRefused},
    {"filter_letter_over_selection", LetterOverSelectionEmptiesField},
    {"filter_backspace_reexamines", BackspaceReexamines},
    {"filter_paste", PasteExaminesLastCharacter},
    {"filter_loaded_text_left_alone", LoadedTextLeftAlone},
};

} // namespace

std::span<const Case> KeystrokeFilterCases()
{
    return kCases;
}

} // namespace e2e
