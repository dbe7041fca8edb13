// The settings dialog as a user meets it: loading, OK, Cancel, the keyboard, the file written.

#include "address/AddressMessages.h"
#include "config/ConfigFile.h"
#include "tests/windows/e2e/CaseSupport.h"

#include "tests/windows/e2e/Keyboard.h"
#include "tests/windows/e2e/Wait.h"

#include <array>

namespace e2e
{

namespace
{

constexpr std::array kAddressFields = {IDC_CONTROL_UNIT_IP, IDC_SHELF_MNG_IP, IDC_SUBNET_MASK, IDC_DEFAULT_ROUTER};

// No lan.cfg; OK is clicked at once.
TEST(SettingsDialog, OkWithoutFile)
{
    TavrelProcess app(TavrelExe(), std::nullopt);
    ASSERT_TRUE(app.WaitForDialog());
    for (const int id : kAddressFields)
    {
        EXPECT_EQ(app.Text(id), "");
    }
    EXPECT_EQ(app.LanCfg().value_or("(missing)"), ""); // the load creates it, empty

    ASSERT_TRUE(ClickWindow(app.Control(IDOK)));
    ExpectMessageBox(app, kInvalidControlUnitIpMessage);
    EXPECT_SOON_EQ(app.FocusId(), IDC_CONTROL_UNIT_IP);
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(app.LanCfg().value_or("(missing)"), "");

    CloseWithEscape(app);
    EXPECT_EQ(app.LanCfg().value_or("(missing)"), "");
}

// A valid file, nothing changed, Enter: the file is written anew in canonical form.
TEST(SettingsDialog, UnchangedFileRewritten)
{
    static constexpr std::array<std::string_view, 7> kMaskChanged = {
        "[GENERAL INFORMATION]",         "SHELF_MNG_IP_ADDR=10.1.1.2", "SHELF_MNG_SUBNETMASK=255.255.0.0",
        "SHELF_MNG_DEFGATEWAY=10.1.1.1", "MANAGMENT_IP_ADDR=10.1.1.3", "MANAGMENT_SUBNETMASK=255.255.0.0",
        "MANAGMENT_DEFGATEWAY=10.1.1.1",
    };
    static constexpr std::array<std::string_view, 7> kLeadingZeros = {
        "[GENERAL INFORMATION]",         "SHELF_MNG_IP_ADDR=10.1.1.2",     "SHELF_MNG_SUBNETMASK=255.255.255.0",
        "SHELF_MNG_DEFGATEWAY=10.0.0.1", "MANAGMENT_IP_ADDR=192.168.1.10", "MANAGMENT_SUBNETMASK=255.255.255.0",
        "MANAGMENT_DEFGATEWAY=10.0.0.1",
    };
    const struct
    {
        const char* name;
        std::string_view file;
        std::array<std::string_view, 4> shown; // control unit, shelf, mask, router
        std::string written;
    } rows[] = {
        {"lf_line_ends_and_extra_lines",
         kLooseSample,
         {"10.1.1.3", "10.1.1.2", "255.255.255.0", "10.1.1.1"},
         std::string(kCanonicalSample)},
        {"already_canonical",
         kCanonicalSample,
         {"10.1.1.3", "10.1.1.2", "255.255.255.0", "10.1.1.1"},
         std::string(kCanonicalSample)},
        {"later_mask_key_wins",
         "SHELF_MNG_SUBNETMASK=255.255.255.0\r\nSHELF_MNG_IP_ADDR=10.1.1.2\r\nMANAGMENT_SUBNETMASK=255.255.0.0\r\n"
         "SHELF_MNG_DEFGATEWAY=10.1.1.1\r\nMANAGMENT_IP_ADDR=10.1.1.3\r\n",
         {"10.1.1.3", "10.1.1.2", "255.255.0.0", "10.1.1.1"},
         CrLfLines(kMaskChanged)},
        {"values_normalised_but_shown_as_loaded",
         "MANAGMENT_IP_ADDR=192.168.001.010 \r\nSHELF_MNG_IP_ADDR=+10.1.1.2\r\n"
         "SHELF_MNG_SUBNETMASK=255.255.255.0\r\nMANAGMENT_DEFGATEWAY=010.000.000.001\r\n",
         {"192.168.001.010 ", "+10.1.1.2", "255.255.255.0", "010.000.000.001"},
         CrLfLines(kLeadingZeros)},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        TavrelProcess app(TavrelExe(), row.file);
        ASSERT_TRUE(app.WaitForDialog());
        for (size_t i = 0; i < kAddressFields.size(); ++i)
        {
            EXPECT_EQ(app.Text(kAddressFields[i]), row.shown[i]);
        }

        app.Key(VK_RETURN);
        // The canonical forms go to the file only; the fields still show what was loaded.
        const bool closed = ExpectMessageBox(app, kSaved,
                                             [&]
                                             {
                                                 for (size_t i = 0; i < kAddressFields.size(); ++i)
                                                 {
                                                     EXPECT_EQ(app.Text(kAddressFields[i]), row.shown[i]);
                                                 }
                                             });
        if (!closed)
        {
            return;
        }
        EXPECT_TRUE(app.WaitForExit());
        EXPECT_EQ(app.LanCfg().value_or("(missing)"), row.written);
    }
}

// An address typed into a field reaches the file in canonical form under that field's keys, while the
// field goes on showing what was typed; e.g. 010.001.001.002 as the Shelf Management address.
TEST(SettingsDialog, TypedAddressNormalised)
{
    const struct
    {
        int field;
        std::string_view typed;
        std::array<std::string_view, 7> written;
    } rows[] = {
        {IDC_SHELF_MNG_IP,
         "010.001.001.002",
         {"[GENERAL INFORMATION]", "SHELF_MNG_IP_ADDR=10.1.1.2", "SHELF_MNG_SUBNETMASK=255.255.255.0",
          "SHELF_MNG_DEFGATEWAY=10.9.9.1", "MANAGMENT_IP_ADDR=10.9.9.3", "MANAGMENT_SUBNETMASK=255.255.255.0",
          "MANAGMENT_DEFGATEWAY=10.9.9.1"}},
        {IDC_CONTROL_UNIT_IP,
         "10.1.1.030",
         {"[GENERAL INFORMATION]", "SHELF_MNG_IP_ADDR=10.9.9.2", "SHELF_MNG_SUBNETMASK=255.255.255.0",
          "SHELF_MNG_DEFGATEWAY=10.9.9.1", "MANAGMENT_IP_ADDR=10.1.1.30", "MANAGMENT_SUBNETMASK=255.255.255.0",
          "MANAGMENT_DEFGATEWAY=10.9.9.1"}},
        {IDC_SUBNET_MASK,
         "255.255.0.000",
         {"[GENERAL INFORMATION]", "SHELF_MNG_IP_ADDR=10.9.9.2", "SHELF_MNG_SUBNETMASK=255.255.0.0",
          "SHELF_MNG_DEFGATEWAY=10.9.9.1", "MANAGMENT_IP_ADDR=10.9.9.3", "MANAGMENT_SUBNETMASK=255.255.0.0",
          "MANAGMENT_DEFGATEWAY=10.9.9.1"}},
        {IDC_DEFAULT_ROUTER,
         "192.168.000.001",
         {"[GENERAL INFORMATION]", "SHELF_MNG_IP_ADDR=10.9.9.2", "SHELF_MNG_SUBNETMASK=255.255.255.0",
          "SHELF_MNG_DEFGATEWAY=192.168.0.1", "MANAGMENT_IP_ADDR=10.9.9.3", "MANAGMENT_SUBNETMASK=255.255.255.0",
          "MANAGMENT_DEFGATEWAY=192.168.0.1"}},
    };
    static constexpr std::array<std::string_view, 7> kBefore = {
        "[GENERAL INFORMATION]",         "SHELF_MNG_IP_ADDR=10.9.9.2", "SHELF_MNG_SUBNETMASK=255.255.255.0",
        "SHELF_MNG_DEFGATEWAY=10.9.9.1", "MANAGMENT_IP_ADDR=10.9.9.3", "MANAGMENT_SUBNETMASK=255.255.255.0",
        "MANAGMENT_DEFGATEWAY=10.9.9.1",
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE("field " + std::to_string(row.field));
        TavrelProcess app(TavrelExe(), CrLfLines(kBefore));
        ASSERT_TRUE(app.WaitForDialog());
        // Home then Shift+End selects the whole text in every field, the first one included.
        ASSERT_TRUE(TabTo(app, row.field));
        app.Key(VK_HOME);
        app.Key(VK_END, kShift);
        const int length = static_cast<int>(app.Text(row.field).size());
        ASSERT_SOON_EQ(app.Sel(row.field), (Selection{0, length}));
        EXPECT_TRUE(app.Type(row.typed));
        EXPECT_EQ(app.Text(row.field), row.typed);

        app.Key(VK_RETURN);
        ASSERT_TRUE(ExpectMessageBox(app, kSaved, [&] { EXPECT_EQ(app.Text(row.field), row.typed); }));
        EXPECT_TRUE(app.WaitForExit());
        EXPECT_EQ(app.LanCfg().value_or("(missing)"), CrLfLines(row.written));
    }
}

// Every way of cancelling, after an edit, leaves the file as it was.
TEST(SettingsDialog, CancelWritesNothing)
{
    const struct
    {
        const char* name;
        void (*cancel)(const TavrelProcess&);
    } rows[] = {
        {"escape", [](const TavrelProcess& app) { app.Key(VK_ESCAPE); }},
        {"cancel_button_clicked", [](const TavrelProcess& app) { ClickWindow(app.Control(IDCANCEL)); }},
        {"enter_on_cancel",
         [](const TavrelProcess& app)
         {
             if (TabTo(app, IDCANCEL, true))
             {
                 app.Key(VK_RETURN);
             }
         }},
        {"alt_f4", [](const TavrelProcess& app) { app.Key(VK_F4, kAlt); }},
        {"system_menu_close",
         [](const TavrelProcess& app)
         {
             app.Key(VK_SPACE, kAlt);
             app.WaitForMenu();
             app.Key('C');
         }},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        TavrelProcess app(TavrelExe(), kLooseSample);
        ASSERT_TRUE(app.WaitForDialog());
        EXPECT_TRUE(app.Type("9"));
        EXPECT_EQ(app.Text(IDC_CONTROL_UNIT_IP), "910.1.1.3");
        row.cancel(app);
        EXPECT_TRUE(app.WaitForExit());
        EXPECT_TRUE(!app.FindMessageBox());
        EXPECT_EQ(app.LanCfg().value_or("(missing)"), kLooseSample);
    }
}

// A read-only lan.cfg is refused and left alone; once writable, a second OK saves.
TEST(SettingsDialog, ReadOnlyFile)
{
    TavrelProcess app(TavrelExe(), kLooseSample);
    ASSERT_TRUE(app.WaitForDialog());
    ASSERT_TRUE(app.SetLanCfgReadOnly(true));

    app.Key(VK_RETURN);
    ExpectMessageBox(app, kConfigWriteFailedMessage);
    EXPECT_TRUE(app.NoMessageBoxFor(300ms));
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(app.LanCfg().value_or("(missing)"), kLooseSample);

    ASSERT_TRUE(app.SetLanCfgReadOnly(false));
    ASSERT_SOON_EQ(app.FocusId(), IDC_CONTROL_UNIT_IP);
    app.Key(VK_RETURN);
    ExpectMessageBox(app, kSaved);
    EXPECT_TRUE(app.WaitForExit());
    EXPECT_EQ(app.LanCfg().value_or("(missing)"), kCanonicalSample);
}

// Enter in any of the four fields acts as OK.
TEST(SettingsDialog, EnterInFieldIsOk)
{
    for (const int id : kAddressFields)
    {
        SCOPED_TRACE("field " + std::to_string(id));
        TavrelProcess app(TavrelExe(), kLooseSample);
        ASSERT_TRUE(app.WaitForDialog());
        ASSERT_TRUE(TabTo(app, id));
        app.Key(VK_RETURN);
        ExpectMessageBox(app, kSaved);
        EXPECT_TRUE(app.WaitForExit());
        EXPECT_EQ(app.LanCfg().value_or("(missing)"), kCanonicalSample);
    }
}

// The dialog opens with the caret at the start of the Control Unit field, nothing selected.
TEST(SettingsDialog, OpeningCaret)
{
    TavrelProcess app(TavrelExe(), kCanonicalSample);
    ASSERT_TRUE(app.WaitForDialog());
    EXPECT_EQ(app.FocusId(), IDC_CONTROL_UNIT_IP);
    EXPECT_EQ(app.Sel(IDC_CONTROL_UNIT_IP), (Selection{0, 0}));
    EXPECT_EQ(app.Text(IDC_SHELF_MNG_IP), "10.1.1.2");
    EXPECT_EQ(app.Text(IDC_SUBNET_MASK), "255.255.255.0");
    EXPECT_EQ(app.Text(IDC_DEFAULT_ROUTER), "10.1.1.1");

    EXPECT_TRUE(app.Type("12"));
    EXPECT_EQ(app.Text(IDC_CONTROL_UNIT_IP), "1210.1.1.3");
    EXPECT_EQ(app.Sel(IDC_CONTROL_UNIT_IP), (Selection{2, 2}));
    CloseWithEscape(app);
    EXPECT_EQ(app.LanCfg().value_or("(missing)"), kCanonicalSample);
}

// Tab runs OK -> Cancel -> 1004 -> 1005 -> 1006 -> 1007 -> OK; entering a field selects its text.
TEST(SettingsDialog, TabCycle)
{
    TavrelProcess app(TavrelExe(), kCanonicalSample);
    ASSERT_TRUE(app.WaitForDialog());
    const struct
    {
        bool backwards;
        int focus;
        int selectedLength; // for a field: the whole text is selected; -1 for a button
    } steps[] = {
        {false, IDC_SHELF_MNG_IP, 8},   {false, IDC_SUBNET_MASK, 13},
        {false, IDC_DEFAULT_ROUTER, 8}, {false, IDOK, -1},
        {false, IDCANCEL, -1},          {false, IDC_CONTROL_UNIT_IP, 8},
        {true, IDCANCEL, -1},           {true, IDOK, -1},
        {true, IDC_DEFAULT_ROUTER, 8},
    };
    int n = 0;
    for (const auto& step : steps)
    {
        SCOPED_TRACE("step " + std::to_string(++n));
        app.Key(VK_TAB, step.backwards ? kShift : kNoModifier);
        ASSERT_SOON_EQ(app.FocusId(), step.focus);
        if (step.selectedLength >= 0)
        {
            EXPECT_SOON_EQ(app.Sel(step.focus), (Selection{0, step.selectedLength}));
        }
    }
    EXPECT_TRUE(app.NoMessageBoxFor(200ms));
    CloseWithEscape(app);
}

// Only the uppermost bad field is reported and focused; the fields keep showing what they held.
TEST(SettingsDialog, FirstBadFieldReported)
{
    const struct
    {
        const char* name;
        std::array<std::string_view, 4> values; // control unit, shelf, mask, router
        std::string_view message;
        int focus;
    } rows[] = {
        {"control_unit_and_mask_bad",
         {"10.1.1", "10.1.1.2", "255.255.255.x", "10.1.1.1"},
         kInvalidControlUnitIpMessage,
         IDC_CONTROL_UNIT_IP},
        {"shelf_and_router_bad",
         {"10.1.1.3", "256.1.1.1", "255.255.255.0", ""},
         kInvalidShelfMngIpMessage,
         IDC_SHELF_MNG_IP},
        {"mask_bad_after_non_canonical",
         {"10.1.1.03", "010.1.1.2", "255.255.255.x", "10.1.1.1."},
         kInvalidSubnetMaskMessage,
         IDC_SUBNET_MASK},
        {"router_bad",
         {"10.1.1.3", "10.1.1.2", "255.255.255.0", "10.1.1.1."},
         kInvalidDefaultRouterMessage,
         IDC_DEFAULT_ROUTER},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        const std::array<std::string, 4> lines = {
            "MANAGMENT_IP_ADDR=" + std::string(row.values[0]), "SHELF_MNG_IP_ADDR=" + std::string(row.values[1]),
            "SHELF_MNG_SUBNETMASK=" + std::string(row.values[2]), "SHELF_MNG_DEFGATEWAY=" + std::string(row.values[3])};
        const std::array<std::string_view, 4> views = {lines[0], lines[1], lines[2], lines[3]};
        const std::string file = CrLfLines(views);
        TavrelProcess app(TavrelExe(), file);
        ASSERT_TRUE(app.WaitForDialog());
        app.Key(VK_RETURN);
        ExpectMessageBox(app, row.message);
        EXPECT_TRUE(app.NoMessageBoxFor(300ms)); // one message, not one per bad field
        EXPECT_SOON_EQ(app.FocusId(), row.focus);
        // The focus is given, not tabbed to: the caret stays where it was and nothing is selected.
        EXPECT_EQ(app.Sel(row.focus), (Selection{0, 0}));
        for (size_t i = 0; i < kAddressFields.size(); ++i)
        {
            EXPECT_EQ(app.Text(kAddressFields[i]), row.values[i]);
        }
        EXPECT_TRUE(app.Running());
        CloseWithEscape(app);
        EXPECT_EQ(app.LanCfg().value_or("(missing)"), file);
    }
}

} // namespace

} // namespace e2e
