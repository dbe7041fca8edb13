// The settings dialog as a user meets it: loading, OK, Cancel, the keyboard, the file written.

#include "tests/gui/e2e/CaseSupport.h"

#include "tests/gui/e2e/Keyboard.h"
#include "tests/gui/e2e/Wait.h"

#include <array>

namespace e2e
{

namespace
{

constexpr std::array kAddressFields = {kControlUnit, kShelfMng, kSubnetMask, kDefaultRouter};

// No lan.cfg; OK is clicked at once.
void OkWithoutFile(Context& t)
{
    TavrelProcess app(t.TavrelExe(), std::nullopt);
    REQUIRE(t, app.WaitForDialog());
    for (const int id : kAddressFields)
        CHECK_EQ(t, app.Text(id), "");
    CHECK_EQ(t, app.LanCfg().value_or("(missing)"), ""); // the load creates it, empty

    REQUIRE(t, ClickWindow(app.Control(kOk)));
    ExpectMessageBox(t, app, "Invalid Control Unit IP address");
    CHECK_SOON_EQ(t, app.FocusId(), kControlUnit);
    CHECK(t, app.Running());
    CHECK_EQ(t, app.LanCfg().value_or("(missing)"), "");

    CloseWithEscape(t, app);
    CHECK_EQ(t, app.LanCfg().value_or("(missing)"), "");
}

// A valid file, nothing changed, Enter: the file is written anew in canonical form.
void UnchangedFileRewritten(Context& t)
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
        Context::Scope scope(t, row.name);
        TavrelProcess app(t.TavrelExe(), row.file);
        REQUIRE(t, app.WaitForDialog());
        for (size_t i = 0; i < kAddressFields.size(); ++i)
            CHECK_EQ(t, app.Text(kAddressFields[i]), row.shown[i]);

        app.Key(VK_RETURN);
        // The canonical forms go to the file only; the fields still show what was loaded.
        const bool closed = ExpectMessageBox(t, app, kSaved,
                                             [&]
                                             {
                                                 for (size_t i = 0; i < kAddressFields.size(); ++i)
                                                     CHECK_EQ(t, app.Text(kAddressFields[i]), row.shown[i]);
                                             });
        if (!closed)
            return;
        CHECK(t, app.WaitForExit());
        CHECK_EQ(t, app.LanCfg().value_or("(missing)"), row.written);
    }
}

// An address typed into a field reaches the file in canonical form under that field's keys, while the
// field goes on showing what was typed; e.g. 010.001.001.002 as the Shelf Management address.
void TypedAddressNormalised(Context& t)
{
    const struct
    {
        int field;
        std::string_view typed;
        std::array<std::string_view, 7> written;
    } rows[] = {
        {kShelfMng,
         "010.001.001.002",
         {"[GENERAL INFORMATION]", "SHELF_MNG_IP_ADDR=10.1.1.2", "SHELF_MNG_SUBNETMASK=255.255.255.0",
          "SHELF_MNG_DEFGATEWAY=10.9.9.1", "MANAGMENT_IP_ADDR=10.9.9.3", "MANAGMENT_SUBNETMASK=255.255.255.0",
          "MANAGMENT_DEFGATEWAY=10.9.9.1"}},
        {kControlUnit,
         "10.1.1.030",
         {"[GENERAL INFORMATION]", "SHELF_MNG_IP_ADDR=10.9.9.2", "SHELF_MNG_SUBNETMASK=255.255.255.0",
          "SHELF_MNG_DEFGATEWAY=10.9.9.1", "MANAGMENT_IP_ADDR=10.1.1.30", "MANAGMENT_SUBNETMASK=255.255.255.0",
          "MANAGMENT_DEFGATEWAY=10.9.9.1"}},
        {kSubnetMask,
         "255.255.0.000",
         {"[GENERAL INFORMATION]", "SHELF_MNG_IP_ADDR=10.9.9.2", "SHELF_MNG_SUBNETMASK=255.255.0.0",
          "SHELF_MNG_DEFGATEWAY=10.9.9.1", "MANAGMENT_IP_ADDR=10.9.9.3", "MANAGMENT_SUBNETMASK=255.255.0.0",
          "MANAGMENT_DEFGATEWAY=10.9.9.1"}},
        {kDefaultRouter,
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
        Context::Scope scope(t, "field " + std::to_string(row.field));
        TavrelProcess app(t.TavrelExe(), CrLfLines(kBefore));
        REQUIRE(t, app.WaitForDialog());
        // Home then Shift+End selects the whole text in every field, the first one included.
        REQUIRE(t, TabTo(app, row.field));
        app.Key(VK_HOME);
        app.Key(VK_END, kShift);
        const int length = static_cast<int>(app.Text(row.field).size());
        REQUIRE_SOON_EQ(t, app.Sel(row.field), (Selection{0, length}));
        CHECK(t, app.Type(row.typed));
        CHECK_EQ(t, app.Text(row.field), row.typed);

        app.Key(VK_RETURN);
        REQUIRE(t, ExpectMessageBox(t, app, kSaved, [&] { CHECK_EQ(t, app.Text(row.field), row.typed); }));
        CHECK(t, app.WaitForExit());
        CHECK_EQ(t, app.LanCfg().value_or("(missing)"), CrLfLines(row.written));
    }
}

// Every way of cancelling, after an edit, leaves the file as it was.
void CancelWritesNothing(Context& t)
{
    const struct
    {
        const char* name;
        void (*cancel)(const TavrelProcess&);
    } rows[] = {
        {"escape", [](const TavrelProcess& app) { app.Key(VK_ESCAPE); }},
        {"cancel_button_clicked", [](const TavrelProcess& app) { ClickWindow(app.Control(kCancel)); }},
        {"enter_on_cancel",
         [](const TavrelProcess& app)
         {
             if (TabTo(app, kCancel, true))
                 app.Key(VK_RETURN);
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
        Context::Scope scope(t, row.name);
        TavrelProcess app(t.TavrelExe(), kLooseSample);
        REQUIRE(t, app.WaitForDialog());
        CHECK(t, app.Type("9"));
        CHECK_EQ(t, app.Text(kControlUnit), "910.1.1.3");
        row.cancel(app);
        CHECK(t, app.WaitForExit());
        CHECK(t, !app.FindMessageBox());
        CHECK_EQ(t, app.LanCfg().value_or("(missing)"), kLooseSample);
    }
}

// A read-only lan.cfg is refused and left alone; once writable, a second OK saves.
void ReadOnlyFile(Context& t)
{
    TavrelProcess app(t.TavrelExe(), kLooseSample);
    REQUIRE(t, app.WaitForDialog());
    REQUIRE(t, app.SetLanCfgReadOnly(true));

    app.Key(VK_RETURN);
    ExpectMessageBox(t, app, "Unable to write to Configuration file. \nVerify the file Write permission");
    CHECK(t, app.NoMessageBoxFor(300ms));
    CHECK(t, app.Running());
    CHECK_EQ(t, app.LanCfg().value_or("(missing)"), kLooseSample);

    REQUIRE(t, app.SetLanCfgReadOnly(false));
    REQUIRE_SOON_EQ(t, app.FocusId(), kControlUnit);
    app.Key(VK_RETURN);
    ExpectMessageBox(t, app, kSaved);
    CHECK(t, app.WaitForExit());
    CHECK_EQ(t, app.LanCfg().value_or("(missing)"), kCanonicalSample);
}

// Enter in any of the four fields acts as OK.
void EnterInFieldIsOk(Context& t)
{
    for (const int id : kAddressFields)
    {
        Context::Scope scope(t, "field " + std::to_string(id));
        TavrelProcess app(t.TavrelExe(), kLooseSample);
        REQUIRE(t, app.WaitForDialog());
        REQUIRE(t, TabTo(app, id));
        app.Key(VK_RETURN);
        ExpectMessageBox(t, app, kSaved);
        CHECK(t, app.WaitForExit());
        CHECK_EQ(t, app.LanCfg().value_or("(missing)"), kCanonicalSample);
    }
}

// The dialog opens with the caret at the start of the Control Unit field, nothing selected.
void OpeningCaret(Context& t)
{
    TavrelProcess app(t.TavrelExe(), kCanonicalSample);
    REQUIRE(t, app.WaitForDialog());
    CHECK_EQ(t, app.FocusId(), kControlUnit);
    CHECK_EQ(t, app.Sel(kControlUnit), (Selection{0, 0}));
    CHECK_EQ(t, app.Text(kShelfMng), "10.1.1.2");
    CHECK_EQ(t, app.Text(kSubnetMask), "255.255.255.0");
    CHECK_EQ(t, app.Text(kDefaultRouter), "10.1.1.1");

    CHECK(t, app.Type("12"));
    CHECK_EQ(t, app.Text(kControlUnit), "1210.1.1.3");
    CHECK_EQ(t, app.Sel(kControlUnit), (Selection{2, 2}));
    CloseWithEscape(t, app);
    CHECK_EQ(t, app.LanCfg().value_or("(missing)"), kCanonicalSample);
}

// Tab runs OK -> Cancel -> 1004 -> 1005 -> 1006 -> 1007 -> OK; entering a field selects its text.
void TabCycle(Context& t)
{
    TavrelProcess app(t.TavrelExe(), kCanonicalSample);
    REQUIRE(t, app.WaitForDialog());
    const struct
    {
        bool backwards;
        int focus;
        int selectedLength; // for a field: the whole text is selected; -1 for a button
    } steps[] = {
        {false, kShelfMng, 8}, {false, kSubnetMask, 13}, {false, kDefaultRouter, 8},
        {false, kOk, -1},      {false, kCancel, -1},     {false, kControlUnit, 8},
        {true, kCancel, -1},   {true, kOk, -1},          {true, kDefaultRouter, 8},
    };
    int n = 0;
    for (const auto& step : steps)
    {
        Context::Scope scope(t, "step " + std::to_string(++n));
        app.Key(VK_TAB, step.backwards ? kShift : kNoModifier);
        REQUIRE_SOON_EQ(t, app.FocusId(), step.focus);
        if (step.selectedLength >= 0)
            CHECK_SOON_EQ(t, app.Sel(step.focus), (Selection{0, step.selectedLength}));
    }
    CHECK(t, app.NoMessageBoxFor(200ms));
    CloseWithEscape(t, app);
}

// Only the uppermost bad field is reported and focused; the fields keep showing what they held.
void FirstBadFieldReported(Context& t)
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
         "Invalid Control Unit IP address",
         kControlUnit},
        {"shelf_and_router_bad",
         {"10.1.1.3", "256.1.1.1", "255.255.255.0", ""},
         "Invalid Shelf Management IP address",
         kShelfMng},
        {"mask_bad_after_non_canonical",
         {"10.1.1.03", "010.1.1.2", "255.255.255.x", "10.1.1.1."},
         "Invalid Subnet Mask IP address",
         kSubnetMask},
        {"router_bad",
         {"10.1.1.3", "10.1.1.2", "255.255.255.0", "10.1.1.1."},
         "Invalid Default Router IP address",
         kDefaultRouter},
    };
    for (const auto& row : rows)
    {
        Context::Scope scope(t, row.name);
        const std::array<std::string, 4> lines = {
            "MANAGMENT_IP_ADDR=" + std::string(row.values[0]), "SHELF_MNG_IP_ADDR=" + std::string(row.values[1]),
            "SHELF_MNG_SUBNETMASK=" + std::string(row.values[2]), "SHELF_MNG_DEFGATEWAY=" + std::string(row.values[3])};
        const std::array<std::string_view, 4> views = {lines[0], lines[1], lines[2], lines[3]};
        const std::string file = CrLfLines(views);
        TavrelProcess app(t.TavrelExe(), file);
        REQUIRE(t, app.WaitForDialog());
        app.Key(VK_RETURN);
        ExpectMessageBox(t, app, row.message);
        CHECK(t, app.NoMessageBoxFor(300ms)); // one message, not one per bad field
        CHECK_SOON_EQ(t, app.FocusId(), row.focus);
        // The focus is given, not tabbed to: the caret stays where it was and nothing is selected.
        CHECK_EQ(t, app.Sel(row.focus), (Selection{0, 0}));
        for (size_t i = 0; i < kAddressFields.size(); ++i)
            CHECK_EQ(t, app.Text(kAddressFields[i]), row.values[i]);
        CHECK(t, app.Running());
        CloseWithEscape(t, app);
        CHECK_EQ(t, app.LanCfg().value_or("(missing)"), file);
    }
}

constexpr Case kCases[] = {
    {"ok_without_file", OkWithoutFile},
    {"unchanged_file_rewritten", UnchangedFileRewritten},
    {"typed_address_normalised", TypedAddressNormalised},
    {"cancel_writes_nothing", CancelWritesNothing},
    {"read_only_file", ReadOnlyFile},
    {"enter_in_field_is_ok", EnterInFieldIsOk},
    {"opening_caret", OpeningCaret},
    {"tab_cycle", TabCycle},
    {"first_bad_field_reported", FirstBadFieldReported},
};

} // namespace

std::span<const Case> SettingsDialogCases()
{
    return kCases;
}

} // namespace e2e
