#include "address/ValidateAddresses.h"

#include "tests/support/RecordingFeedback.h"
#include "tests/support/SettingsBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

void ExpectSettings(const AddressSettings& actual, const AddressSettings& expected)
{
    EXPECT_EQ(actual.m_strControlUnitIp, expected.m_strControlUnitIp);
    EXPECT_EQ(actual.m_strShelfMngIp, expected.m_strShelfMngIp);
    EXPECT_EQ(actual.m_strSubnetMask, expected.m_strSubnetMask);
    EXPECT_EQ(actual.m_strDefaultRouter, expected.m_strDefaultRouter);
}

TEST(ValidateAddressesTest, AllGoodRewritesEveryFieldSilently)
{
    AddressSettings settings = MakeSettings("010.001.001.003", " 10.1.1.2 ", "255.255.0.000", "+10.1.1.1");
    RecordingFeedback feedback;
    EXPECT_TRUE(ValidateAddresses(settings, feedback));
    EXPECT_TRUE(feedback.events.empty());
    ExpectSettings(settings, MakeSettings("10.1.1.3", "10.1.1.2", "255.255.0.0", "10.1.1.1"));
}

struct FailureCase
{
    const char* name;
    AddressSettings input;
    // Fields above the bad one rewritten; the bad one and those below it as they were.
    AddressSettings after;
    const char* message;
    int controlId;
};

TEST(ValidateAddressesTest, ReportsOnlyTheUppermostBadField)
{
    const FailureCase cases[] = {
        {"control unit bad, the rest untouched", MakeSettings("10.1.1.1x", "010.1.1.2", "255.255.255.000", "010.1.1.1"),
         MakeSettings("10.1.1.1x", "010.1.1.2", "255.255.255.000", "010.1.1.1"), "Invalid Control Unit IP address",
         1004},
        {"shelf management bad", MakeSettings("010.1.1.3", "10.1.1", "255.255.255.000", "010.1.1.1"),
         MakeSettings("10.1.1.3", "10.1.1", "255.255.255.000", "010.1.1.1"), "Invalid Shelf Management IP address",
         1005},
        {"mask bad after two noncanonical good fields",
         MakeSettings("10.1.1.03", "10.1.1.2", "255.255.255.x", "010.1.1.1"),
         MakeSettings("10.1.1.3", "10.1.1.2", "255.255.255.x", "010.1.1.1"), "Invalid Subnet Mask IP address", 1006},
        {"router bad, checked last though first in the record",
         MakeSettings("10.1.1.3", "10.1.1.2", "255.255.255.000", "256.1.1.1"),
         MakeSettings("10.1.1.3", "10.1.1.2", "255.255.255.0", "256.1.1.1"), "Invalid Default Router IP address", 1007},
        {"all empty", MakeSettings("", "", "", ""), MakeSettings("", "", "", ""), "Invalid Control Unit IP address",
         1004},
        {"mask and router both bad: the mask is reported", MakeSettings("10.1.1.3", "10.1.1.2", "", "bad"),
         MakeSettings("10.1.1.3", "10.1.1.2", "", "bad"), "Invalid Subnet Mask IP address", 1006},
        {"shelf management and router bad", MakeSettings("10.1.1.03", "x", "255.0.0.0", "y"),
         MakeSettings("10.1.1.3", "x", "255.0.0.0", "y"), "Invalid Shelf Management IP address", 1005},
    };
    for (const FailureCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        AddressSettings settings = c.input;
        RecordingFeedback feedback;
        EXPECT_FALSE(ValidateAddresses(settings, feedback));
        const std::vector<std::string> expected = {std::string("message: ") + c.message,
                                                   "focus: " + std::to_string(c.controlId)};
        EXPECT_EQ(feedback.events, expected);
        ExpectSettings(settings, c.after);
    }
}

TEST(ValidateAddressesTest, SecondRunAfterCorrectionSucceeds)
{
    AddressSettings settings = MakeSettings("10.1.1.03", "10.1.1.2", "255.255.255.x", "10.1.1.1");
    RecordingFeedback feedback;
    ASSERT_FALSE(ValidateAddresses(settings, feedback));
    settings.m_strSubnetMask = "255.255.255.0 ";
    EXPECT_TRUE(ValidateAddresses(settings, feedback));
    EXPECT_EQ(feedback.events.size(), 2U) << "a passing run reports nothing";
    ExpectSettings(settings, MakeSettings("10.1.1.3", "10.1.1.2", "255.255.255.0", "10.1.1.1"));
}

} // namespace
