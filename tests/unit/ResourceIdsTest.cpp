// Reads the resource ids as text, the application's and the framework's it includes: two resources,
// controls or commands sharing a number is a real and easy mistake that the resource compiler does
// not catch.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <string>

namespace
{

std::map<std::string, unsigned long> ReadDefines()
{
    const std::regex define(R"(^#define\s+(\w+)\s+(0[xX][0-9A-Fa-f]+|\d+)\s*$)");
    std::map<std::string, unsigned long> ids;
    for (const char* header : {"/res/resource.h", "/framework/FrameworkIds.h"})
    {
        std::ifstream in(std::string(TAVREL_SOURCE_DIR) + header);
        for (std::string line; std::getline(in, line);)
        {
            std::smatch m;
            if (std::regex_match(line, m, define))
            {
                ids[m[1]] = std::stoul(m[2], nullptr, 0);
            }
        }
    }
    return ids;
}

TEST(ResourceIdsTest, NoTwoNamesShareANumber)
{
    const auto ids = ReadDefines();
    ASSERT_GE(ids.size(), 15u);
    std::map<unsigned long, std::string> seen;
    for (const auto& [name, value] : ids)
    {
        const auto [it, inserted] = seen.emplace(value, name);
        EXPECT_TRUE(inserted) << name << " and " << it->second << " are both " << value;
    }
}

TEST(ResourceIdsTest, SystemMenuCommandFitsTheSystemCommandRange)
{
    // WM_SYSCOMMAND uses the low four bits itself and reserves 0xF000 and above.
    const auto ids = ReadDefines();
    ASSERT_TRUE(ids.count("IDM_ABOUTBOX"));
    const unsigned long id = ids.at("IDM_ABOUTBOX");
    EXPECT_EQ(id & 0xFu, 0u);
    EXPECT_LT(id, 0xF000u);
}

} // namespace
