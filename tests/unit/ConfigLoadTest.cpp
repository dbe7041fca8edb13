#include "config/ConfigText.h"
#include "tests/support/LoadedFields.h"
#include "tests/support/SampleConfig.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

// Loading starts from these values, so that the cases see which fields a file leaves alone.
AddressSettings Preset()
{
    AddressSettings s;
    s.m_strShelfMngIp = "old-shelf";
    s.m_strControlUnitIp = "old-unit";
    s.m_strSubnetMask = "old-mask";
    s.m_strDefaultRouter = "old-router";
    return s;
}

const LoadedFields kUntouched = {"old-shelf", "old-unit", "old-mask", "old-router"};

constexpr std::string_view kWritten = kSampleConfigText;

const LoadedFields kWrittenFields = {"10.1.1.2", "10.1.1.3", "255.255.255.0", "10.1.1.1"};

std::string Pad(char ch, std::size_t n)
{
    return std::string(n, ch);
}

struct LoadCase
{
    const char* name;
    std::string file;
    LoadedFields expected;
};

TEST(ConfigLoadTest, AppliesTheLinesOfTheFile)
{
    std::string lfOnly(kWritten);
    for (std::size_t n = lfOnly.find("\r\n"); n != std::string::npos; n = lfOnly.find("\r\n", n))
    {
        lfOnly.erase(n, 1);
    }
    // 199 bytes that name the Shelf Management field, then 51 that name the Control Unit.
    const std::string splitLine = "SHELF_MNG_IP_ADDR=" + Pad('s', 181) + "MANAGMENT_IP_ADDR=" + Pad('u', 33) + "\r\n";

    const LoadCase cases[] = {
        {"empty file", "", kUntouched},
        {"header only", "[GENERAL INFORMATION]\r\n", kUntouched},
        {"as written", std::string(kWritten), kWrittenFields},
        {"LF-only line ends", lfOnly, kWrittenFields},
        {"no line end after the last line",
         "MANAGMENT_IP_ADDR=1.2.3.4",
         {"old-shelf", "1.2.3.4", "old-mask", "old-router"}},
        {"blank after the key", "SHELF_MNG_IP_ADDR =10.1.1.2\r\n", kUntouched},
        {"blank before the key", " SHELF_MNG_IP_ADDR=10.1.1.2\r\n", kUntouched},
        {"blanks in the value are kept",
         "SHELF_MNG_IP_ADDR= 10.1.1.2 \r\n",
         {" 10.1.1.2 ", "old-unit", "old-mask", "old-router"}},
        {"= at the start", "=10.1.1.2\r\n=SHELF_MNG_IP_ADDR=1\r\n", kUntouched},
        {"no =", "SHELF_MNG_IP_ADDR\r\n", kUntouched},
        {"empty value", "MANAGMENT_IP_ADDR=\r\n", {"old-shelf", "", "old-mask", "old-router"}},
        {"value with a further =",
         "SHELF_MNG_IP_ADDR=10.1.1.2=x\r\n",
         {"10.1.1.2=x", "old-unit", "old-mask", "old-router"}},
        {"misspelt and lower-case keys", "MANAGEMENT_IP_ADDR=1\r\nmanagment_ip_addr=2\r\nShelf_Mng_Ip_Addr=3\r\n",
         kUntouched},
        {"section header is not required",
         "SHELF_MNG_DEFGATEWAY=9.9.9.9",
         {"old-shelf", "old-unit", "old-mask", "9.9.9.9"}},
        {"later mask key wins",
         "SHELF_MNG_SUBNETMASK=255.255.255.0\r\nMANAGMENT_SUBNETMASK=255.255.0.0\r\n",
         {"old-shelf", "old-unit", "255.255.0.0", "old-router"}},
        {"later mask key wins, swapped",
         "MANAGMENT_SUBNETMASK=255.255.0.0\r\nSHELF_MNG_SUBNETMASK=255.255.255.0\r\n",
         {"old-shelf", "old-unit", "255.255.255.0", "old-router"}},
        {"later router key wins",
         "MANAGMENT_DEFGATEWAY=1.1.1.1\r\nSHELF_MNG_DEFGATEWAY=2.2.2.2\r\n",
         {"old-shelf", "old-unit", "old-mask", "2.2.2.2"}},
        {"repeated key, last wins",
         "MANAGMENT_IP_ADDR=1\r\nMANAGMENT_IP_ADDR=2\r\nMANAGMENT_IP_ADDR=3",
         {"old-shelf", "3", "old-mask", "old-router"}},
        {"250-byte line is handled as 199 + 51", splitLine, {Pad('s', 181), Pad('u', 33), "old-mask", "old-router"}},
        {"exactly 199 bytes handled whole",
         "SHELF_MNG_IP_ADDR=" + Pad('s', 181) + "\r\nMANAGMENT_IP_ADDR=1\r\n",
         {Pad('s', 181), "1", "old-mask", "old-router"}},
        {"key in the rest of a long line",
         Pad('z', 199) + "SHELF_MNG_IP_ADDR=10.1.1.2\r\n",
         {"10.1.1.2", "old-unit", "old-mask", "old-router"}},
        {"key with = split by the limit", Pad('z', 190) + "SHELF_MNG_IP_ADDR=10.1.1.2\r\n", kUntouched},
        {"NUL ends the value",
         std::string("SHELF_MNG_IP_ADDR=10.1\0.1.2\r\n", 29),
         {"10.1", "old-unit", "old-mask", "old-router"}},
        {"NUL inside the key", std::string("SHELF_MNG_IP\0_ADDR=10.1.1.2\r\n", 29), kUntouched},
        {"NUL drops only the rest of its read",
         std::string("SHELF_MNG_IP_ADDR=1\0", 20) + Pad('n', 179) + "MANAGMENT_IP_ADDR=2\r\n",
         {"1", "2", "old-mask", "old-router"}},
        {"Ctrl-Z hides the lines after it",
         "MANAGMENT_IP_ADDR=1\r\n\x1AMANAGMENT_IP_ADDR=2\r\n",
         {"old-shelf", "1", "old-mask", "old-router"}},
        {"Ctrl-Z cuts a value", "MANAGMENT_IP_ADDR=10.1\x1A.1.3\r\n", {"old-shelf", "10.1", "old-mask", "old-router"}},
        {"lone CR joins lines",
         "SHELF_MNG_IP_ADDR=1\rMANAGMENT_IP_ADDR=2\r\n",
         {"1\rMANAGMENT_IP_ADDR=2", "old-unit", "old-mask", "old-router"}},
        {"CR before end of file stays in the value",
         "MANAGMENT_IP_ADDR=1\r",
         {"old-shelf", "1\r", "old-mask", "old-router"}},
    };
    for (const LoadCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        AddressSettings settings = Preset();
        LoadConfigText(c.file, settings);
        EXPECT_EQ(FieldsOf(settings), c.expected);
    }
}

} // namespace
