// The About box, reached by keyboard from the Help menu and the system menu. Menus of another process
// cannot be read, so each case presses the keys a person would and checks the box that comes up.

#include "tests/windows/e2e/CaseSupport.h"

#include "tests/windows/e2e/Keyboard.h"
#include "tests/windows/e2e/Wait.h"

namespace e2e
{

namespace
{

// True when one of the window's children shows exactly this text.
bool HasChildText(HWND parent, std::string_view text)
{
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        if (WindowText(child) == text)
        {
            return true;
        }
    }
    return false;
}

TEST(AboutBox, AboutBoxOpensAndCloses)
{
    const struct
    {
        const char* name;
        void (*open)(const TavrelProcess&);
    } rows[] = {
        // The item "About..." has no access key, and Wine's menus ignore a letter that is no item's
        // access key, so the item is chosen with Enter.
        {"help_menu_enter",
         [](const TavrelProcess& app)
         {
             app.Key('H', kAlt);
             app.WaitForMenu();
             app.Key(VK_RETURN);
         }},
        // The About entry is the last item of the system menu: Up from the first item wraps to it.
        {"system_menu_last_item",
         [](const TavrelProcess& app)
         {
             app.Key(VK_SPACE, kAlt);
             app.WaitForMenu();
             app.Key(VK_UP);
             app.Key(VK_RETURN);
         }},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        TavrelProcess app(TavrelExe(), kCanonicalSample);
        ASSERT_TRUE(app.WaitForDialog());
        // Leave a visible trace of editing, to see that the About box leaves it alone.
        ASSERT_TRUE(app.Type("7"));
        ASSERT_SOON_EQ(app.Sel(IDC_CONTROL_UNIT_IP), (Selection{1, 1}));

        row.open(app);
        HWND about = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (about = app.FindWindowCaptioned("About Tavrel")) != nullptr; }));
        if (about)
        {
            EXPECT_TRUE(HasChildText(about, "Tavrel Version 1.1"));
            EXPECT_TRUE(!::IsWindowEnabled(app.Dialog())); // modal: its owner is disabled meanwhile
            EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == about; }));
            app.Key(VK_ESCAPE);
            EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about); }, kExitLimit));
        }
        EXPECT_TRUE(app.Running());
        EXPECT_SOON_EQ(app.FocusId(), IDC_CONTROL_UNIT_IP);
        EXPECT_SOON_EQ(app.Sel(IDC_CONTROL_UNIT_IP), (Selection{1, 1}));
        EXPECT_EQ(app.Text(IDC_CONTROL_UNIT_IP), "710.1.1.3");
        EXPECT_EQ(app.Text(IDC_SHELF_MNG_IP), "10.1.1.2");
        EXPECT_EQ(app.Text(IDC_SUBNET_MASK), "255.255.255.0");
        EXPECT_EQ(app.Text(IDC_DEFAULT_ROUTER), "10.1.1.1");
        EXPECT_TRUE(!app.FindMessageBox());
        CloseWithEscape(app);
        EXPECT_EQ(app.LanCfg().value_or("(missing)"), kCanonicalSample);
    }
}

} // namespace

} // namespace e2e
