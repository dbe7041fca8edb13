#pragma once

#include "address/KeystrokeRule.h"
#include "tests/windows/e2e/TavrelProcess.h"
#include "ui/SettingsDlgMessages.h"
#include "tests/windows/e2e/Wait.h"
#include "tests/windows/ProgramUnderTest.h"
#include "tests/support/SampleConfig.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <source_location>
#include <span>
#include <string>
#include <string_view>

namespace e2e
{

// The example file exactly as Tavrel writes it: shelf 10.1.1.2, control unit 10.1.1.3,
// mask 255.255.255.0, router 10.1.1.1.
inline constexpr std::string_view kCanonicalSample = kSampleConfigText;

// The same settings in a file Tavrel would never write (LF line ends, other order, extra lines), so
// that any rewrite of it shows in its bytes.
inline constexpr std::string_view kLooseSample = "; written by hand\n"
                                                 "MANAGMENT_IP_ADDR=10.1.1.3\n"
                                                 "[GENERAL INFORMATION]\n"
                                                 "SHELF_MNG_IP_ADDR=10.1.1.2\n"
                                                 "MANAGMENT_SUBNETMASK=255.255.255.0\n"
                                                 "SHELF_MNG_DEFGATEWAY=10.1.1.1\n"
                                                 "HOSTNAME=shelf-1\n";

inline constexpr std::string_view kInvalidAddressChar = kKeystrokeRefusedMessage;
inline constexpr std::string_view kSaved = kConfigUpdatedMessage;

// The Tavrel.exe the cases start.
inline const std::string& TavrelExe()
{
    return ProgramUnderTest();
}

// Shows a selection read from a field in failure messages.
void PrintTo(const Selection& sel, std::ostream* os);

// Builds a file from lines, each ended by CR LF.
std::string CrLfLines(std::span<const std::string_view> lines);

// Waits for a message box, checks its caption ("Tavrel") and text, runs whileShown (checks of what the
// dialog shows meanwhile) and closes the box with Enter. Failures are reported at the caller's line.
// False when no box came up or it would not close: the case cannot go on.
bool ExpectMessageBox(const TavrelProcess& app, std::string_view text, const std::function<void()>& whileShown = {},
                      std::source_location where = std::source_location::current());

// Presses Tab (or Shift+Tab) until the control has the focus, at most one round of the cycle.
bool TabTo(const TavrelProcess& app, int id, bool backwards = false);

// Ends the program with Escape and checks that it exits.
bool CloseWithEscape(TavrelProcess& app, std::source_location where = std::source_location::current());

// Gives the program a step's time to get there, then checks (and shows the value seen).
#define EXPECT_SOON_EQ(actual, expected)                                                                               \
    do                                                                                                                 \
    {                                                                                                                  \
        ::e2e::WaitUntil([&] { return (actual) == (expected); });                                                      \
        EXPECT_EQ(actual, expected);                                                                                   \
    } while (false)

#define ASSERT_SOON_EQ(actual, expected)                                                                               \
    do                                                                                                                 \
    {                                                                                                                  \
        ::e2e::WaitUntil([&] { return (actual) == (expected); });                                                      \
        ASSERT_EQ(actual, expected);                                                                                   \
    } while (false)

} // namespace e2e
