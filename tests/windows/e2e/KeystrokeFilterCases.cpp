// Screening of what is typed or pasted into the four address fields.

#include "tests/windows/e2e/CaseSupport.h"

#include "tests/windows/e2e/Keyboard.h"
#include "tests/windows/e2e/Wait.h"

#include <array>

namespace e2e
{

namespace
{

constexpr std::array kAddressFields = {IDC_CONTROL_UNIT_IP, IDC_SHELF_MNG_IP, IDC_SUBNET_MASK, IDC_DEFAULT_ROUTER};

// A file that sets only the Control Unit field.
std::string ControlUnitFile(std::string_view value)
{
    return "MANAGMENT_IP_ADDR=" + std::string(value) + "\r\n";
}

// Digits and periods typed into an empty field pass without a word.
TEST(KeystrokeFilter, DigitsAndPeriodsPass)
{
    TavrelProcess app(TavrelExe(), std::nullopt);
    ASSERT_TRUE(app.WaitForDialog());
    for (const int id : kAddressFields)
    {
        SCOPED_TRACE("field " + std::to_string(id));
        ASSERT_TRUE(TabTo(app, id));
        EXPECT_TRUE(app.Type("10.1.1.2"));
        EXPECT_EQ(app.Text(id), "10.1.1.2");
        EXPECT_EQ(app.Sel(id), (Selection{8, 8}));
    }
    EXPECT_TRUE(app.NoMessageBoxFor(300ms));
    CloseWithEscape(app);
}

// A letter after 10.1 is refused in every field: message, removed, caret back at the end.
TEST(KeystrokeFilter, LetterRefused)
{
    TavrelProcess app(TavrelExe(), std::nullopt);
    ASSERT_TRUE(app.WaitForDialog());
    for (const int id : kAddressFields)
    {
        SCOPED_TRACE("field " + std::to_string(id));
        ASSERT_TRUE(TabTo(app, id));
        ASSERT_TRUE(app.Type("10.1"));
        TypeChar('a');
        // The refused character is still there while the message is shown.
        if (!ExpectMessageBox(app, kInvalidAddressChar, [&] { EXPECT_EQ(app.Text(id), "10.1a"); }))
        {
            return;
        }
        EXPECT_SOON_EQ(app.Text(id), "10.1");
        EXPECT_SOON_EQ(app.FocusId(), id);
        EXPECT_SOON_EQ(app.Sel(id), (Selection{4, 4}));
    }
    CloseWithEscape(app);
}

// A blank typed between 10 and .1 is removed and the caret stands after 10.
TEST(KeystrokeFilter, BlankInsideRefused)
{
    TavrelProcess app(TavrelExe(), std::nullopt);
    ASSERT_TRUE(app.WaitForDialog());
    ASSERT_TRUE(app.Type("10.1"));
    app.Key(VK_HOME);
    ASSERT_SOON_EQ(app.Sel(IDC_CONTROL_UNIT_IP), (Selection{0, 0}));
    app.Key(VK_RIGHT);
    app.Key(VK_RIGHT);
    ASSERT_SOON_EQ(app.Sel(IDC_CONTROL_UNIT_IP), (Selection{2, 2}));
    TypeChar(' ');
    ExpectMessageBox(app, kInvalidAddressChar);
    EXPECT_SOON_EQ(app.Text(IDC_CONTROL_UNIT_IP), "10.1");
    EXPECT_SOON_EQ(app.Sel(IDC_CONTROL_UNIT_IP), (Selection{2, 2}));
    CloseWithEscape(app);
}

// A letter typed over a whole selected text is refused and leaves the field empty.
TEST(KeystrokeFilter, LetterOverSelectionEmptiesField)
{
    const struct
    {
        const char* name;
        int field;
        void (*select)(const TavrelProcess&);
    } rows[] = {
        // Wine's edit control ignores Ctrl+A, so select the way that works in both.
        {"home_shift_end", IDC_CONTROL_UNIT_IP,
         [](const TavrelProcess& app)
         {
             app.Key(VK_HOME);
             app.Key(VK_END, kShift);
         }},
        {"tab_selects", IDC_SHELF_MNG_IP, [](const TavrelProcess& app) { TabTo(app, IDC_SHELF_MNG_IP); }},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        TavrelProcess app(TavrelExe(), kCanonicalSample);
        ASSERT_TRUE(app.WaitForDialog());
        row.select(app);
        ASSERT_SOON_EQ(app.Sel(row.field), (Selection{0, 8}));
        TypeChar('x');
        if (!ExpectMessageBox(app, kInvalidAddressChar, [&] { EXPECT_EQ(app.Text(row.field), "x"); }))
        {
            return;
        }
        EXPECT_SOON_EQ(app.Text(row.field), "");
        EXPECT_EQ(app.Sel(row.field), (Selection{0, 0}));
        CloseWithEscape(app);
        EXPECT_EQ(app.LanCfg().value_or("(missing)"), kCanonicalSample);
    }
}

// Backspace at the end re-examines the character that comes to stand before the caret.
TEST(KeystrokeFilter, BackspaceReexamines)
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
        SCOPED_TRACE(std::string(row.loaded));
        TavrelProcess app(TavrelExe(), ControlUnitFile(row.loaded));
        ASSERT_TRUE(app.WaitForDialog());
        EXPECT_TRUE(app.NoMessageBoxFor(200ms)); // loaded text is not screened
        app.Key(VK_END);
        const int end = static_cast<int>(row.loaded.size());
        ASSERT_SOON_EQ(app.Sel(IDC_CONTROL_UNIT_IP), (Selection{end, end}));
        app.Key(VK_BACK);
        if (row.refused)
        {
            if (!ExpectMessageBox(app, kInvalidAddressChar,
                                  [&] { EXPECT_EQ(app.Text(IDC_CONTROL_UNIT_IP), row.afterBackspace); }))
                return;
        }
        else
        {
            EXPECT_SOON_EQ(app.Text(IDC_CONTROL_UNIT_IP), row.afterBackspace);
            EXPECT_TRUE(app.NoMessageBoxFor(300ms));
        }
        EXPECT_SOON_EQ(app.Text(IDC_CONTROL_UNIT_IP), row.final);
        const int caret = static_cast<int>(row.final.size());
        EXPECT_SOON_EQ(app.Sel(IDC_CONTROL_UNIT_IP), (Selection{caret, caret}));
        CloseWithEscape(app);
    }
}

// Only the character that ends up before the caret is examined after a paste.
TEST(KeystrokeFilter, PasteExaminesLastCharacter)
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
        SCOPED_TRACE("pasting " + std::string(row.pasted));
        TavrelProcess app(TavrelExe(), ControlUnitFile("10.1."));
        ASSERT_TRUE(app.WaitForDialog());
        ASSERT_TRUE(PutOnClipboard(row.pasted));
        app.Key(VK_END);
        ASSERT_SOON_EQ(app.Sel(IDC_CONTROL_UNIT_IP), (Selection{5, 5}));
        app.Key('V', kCtrl);
        if (row.refused)
        {
            if (!ExpectMessageBox(app, kInvalidAddressChar,
                                  [&] { EXPECT_EQ(app.Text(IDC_CONTROL_UNIT_IP), row.afterPaste); }))
            {
                return;
            }
        }
        else
        {
            EXPECT_SOON_EQ(app.Text(IDC_CONTROL_UNIT_IP), row.afterPaste);
            EXPECT_TRUE(app.NoMessageBoxFor(300ms));
        }
        EXPECT_SOON_EQ(app.Text(IDC_CONTROL_UNIT_IP), row.final);
        const int caret = static_cast<int>(row.final.size());
        EXPECT_SOON_EQ(app.Sel(IDC_CONTROL_UNIT_IP), (Selection{caret, caret}));
        CloseWithEscape(app);
    }
}

// Odd characters loaded from the file stay untouched until a change puts one before the caret.
TEST(KeystrokeFilter, LoadedTextLeftAlone)
{
    const std::string file = "MANAGMENT_IP_ADDR=10.1.1.3x\r\nSHELF_MNG_IP_ADDR=a.b\r\n"
                             "SHELF_MNG_SUBNETMASK=255 255\r\nSHELF_MNG_DEFGATEWAY=-1\r\n";
    TavrelProcess app(TavrelExe(), file);
    ASSERT_TRUE(app.WaitForDialog());
    EXPECT_TRUE(app.NoMessageBoxFor(500ms));
    EXPECT_EQ(app.Text(IDC_CONTROL_UNIT_IP), "10.1.1.3x");
    EXPECT_EQ(app.Text(IDC_SHELF_MNG_IP), "a.b");
    EXPECT_EQ(app.Text(IDC_SUBNET_MASK), "255 255");
    EXPECT_EQ(app.Text(IDC_DEFAULT_ROUTER), "-1");

    // Moving through the fields changes no text, so nothing is screened.
    ASSERT_TRUE(TabTo(app, IDC_DEFAULT_ROUTER));
    app.Key(VK_END);
    ASSERT_SOON_EQ(app.Sel(IDC_DEFAULT_ROUTER), (Selection{2, 2}));
    EXPECT_TRUE(app.NoMessageBoxFor(300ms));

    // Backspace puts the loaded '-' before the caret: now it is refused.
    app.Key(VK_BACK);
    ExpectMessageBox(app, kInvalidAddressChar);
    EXPECT_SOON_EQ(app.Text(IDC_DEFAULT_ROUTER), "");
    EXPECT_EQ(app.Text(IDC_CONTROL_UNIT_IP), "10.1.1.3x");
    EXPECT_EQ(app.Text(IDC_SHELF_MNG_IP), "a.b");
    EXPECT_EQ(app.Text(IDC_SUBNET_MASK), "255 255");
    CloseWithEscape(app);
    EXPECT_EQ(app.LanCfg().value_or("(missing)"), file);
}

} // namespace

} // namespace e2e
