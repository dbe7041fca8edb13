#include "config/ConfigLineReader.h"
#include "config/ConfigText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// Guarded, so that a reader that never ends fails the comparison instead of hanging.
std::vector<std::string> ReadAllLines(std::string_view input, std::size_t chunk = SIZE_MAX,
                                      std::size_t bufferSize = ConfigLineReader::kDefaultBufferSize)
{
    MemoryByteSource source(input, chunk);
    ConfigLineReader reader(source, bufferSize);
    std::vector<std::string> lines;
    do
    {
        lines.emplace_back(reader.ReadLine());
    } while (!reader.AtEnd() && lines.size() <= input.size() + 1);
    return lines;
}

std::string Repeat(char ch, std::size_t n)
{
    return std::string(n, ch);
}

struct LineCase
{
    const char* name;
    std::string input;
    std::vector<std::string> expected;
};

std::vector<LineCase> LineCases()
{
    const std::string x199 = Repeat('x', 199);
    return {
        {"empty input is one empty read", "", {""}},
        {"line end at the end gives a final empty read", "a\r\nb\r\n", {"a", "b", ""}},
        {"LF alone ends a line", "a\nb\n", {"a", "b", ""}},
        {"last line without line end", "a\r\nb", {"a", "b"}},
        {"lone CR is an ordinary byte", "a\rb\r\n", {"a\rb", ""}},
        {"CR-only file is one line", "a\rb\rc\r", {"a\rb\rc\r"}},
        {"CR CR LF keeps one CR", "a\r\r\nb", {"a\r", "b"}},
        {"empty lines", "\r\n\n\r\n", {"", "", "", ""}},
        {"Ctrl-Z ends the input", "a\r\nb\x1A\r\nc\r\n", {"a", "b"}},
        {"Ctrl-Z first hides everything",
         "\x1A"
         "a\r\n",
         {""}},
        {"Ctrl-Z after CR leaves the CR in the line", "a\r\x1A\n", {"a\r"}},
        {"NUL bytes are passed on", std::string("a\0b\n", 4), {std::string("a\0b", 3), ""}},
        {"250-byte line reads as 199 then 51",
         Repeat('a', 199) + Repeat('b', 51) + "\r\n",
         {Repeat('a', 199), Repeat('b', 51), ""}},
        {"exactly 199 bytes is followed by an empty read", x199 + "\r\nz", {x199, "", "z"}},
        {"199 bytes without line end", x199, {x199, ""}},
        {"198 bytes then CR LF is one line", Repeat('x', 198) + "\r\nz", {Repeat('x', 198), "z"}},
        {"198 bytes then LF is one line", Repeat('x', 198) + "\nz", {Repeat('x', 198), "z"}},
        {"199th byte a CR not followed by LF", Repeat('x', 198) + "\ryz", {Repeat('x', 198) + "\r", "yz"}},
        {"CR at 199 with LF after the limit", x199 + "\r\n", {x199, "", ""}},
        {"398 bytes read as two full lines", Repeat('p', 398) + "\n", {Repeat('p', 199), Repeat('p', 199), "", ""}},
    };
}

TEST(ConfigLineReaderTest, SplitsUnderTextModeRules)
{
    for (const LineCase& c : LineCases())
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadAllLines(c.input), c.expected);
    }
}

// The source may hand out bytes in any pieces and the buffer may be small: the lines stay the same.
TEST(ConfigLineReaderTest, LinesDoNotDependOnHowTheInputArrives)
{
    std::string mixed;
    for (int i = 0; i < 60; ++i)
    {
        mixed += Repeat('k', static_cast<std::size_t>(i * 37 % 420));
        mixed += (i % 3 == 0) ? "\r\n" : (i % 3 == 1) ? "\n" : "\r";
        mixed += std::string(1, '\0') + "=";
    }
    std::vector<std::string> inputs;
    for (const LineCase& c : LineCases())
    {
        inputs.push_back(c.input);
    }
    inputs.push_back(mixed);
    inputs.push_back(mixed + "\x1A" + mixed);

    for (const std::string& input : inputs)
    {
        const std::vector<std::string> reference = ReadAllLines(input);
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{199}, std::size_t{201}})
        {
            for (const std::size_t bufferSize : {std::size_t{0}, std::size_t{401}, std::size_t{1000}})
            {
                SCOPED_TRACE(testing::Message()
                             << "size " << input.size() << " chunk " << chunk << " buffer " << bufferSize);
                EXPECT_EQ(ReadAllLines(input, chunk, bufferSize), reference);
            }
        }
    }
}

// Hands out its bytes, then fails every read as a disk would.
class FailingByteSource final : public ConfigByteSource
{
public:
    explicit FailingByteSource(std::string_view bytes) : m_bytes(bytes) {}

    std::size_t Read(char* buffer, std::size_t capacity) override
    {
        const std::size_t n = m_bytes.copy(buffer, capacity);
        m_bytes.remove_prefix(n);
        m_failed = n == 0;
        return n;
    }

    FileError Error() const override { return m_failed ? FileError::Other : FileError::None; }

private:
    std::string_view m_bytes;
    bool m_failed = false;
};

// The dialog's rule: a failed read ends the file, the lines before it count, and the fields after it
// keep their values; the caller is told the error all the same.
TEST(ConfigLineReaderTest, FailedReadEndsTheLoadAndIsReported)
{
    FailingByteSource source("MANAGMENT_IP_ADDR=10.1.1.3\r\nSHELF_MNG_IP_ADDR=10.1.1.2");
    AddressSettings settings;
    settings.m_strSubnetMask = "255.255.255.0";
    EXPECT_EQ(LoadConfigFrom(source, settings), FileError::Other);
    EXPECT_EQ(settings.m_strControlUnitIp, "10.1.1.3");
    EXPECT_EQ(settings.m_strShelfMngIp, "10.1.1.2");
    EXPECT_EQ(settings.m_strSubnetMask, "255.255.255.0");

    MemoryByteSource whole("MANAGMENT_IP_ADDR=10.1.1.3");
    EXPECT_EQ(LoadConfigFrom(whole, settings), FileError::None);
}

// A file that grows while it is read (or whose size was not told) is read up to the limit and no
// further, as if a read failed there.
TEST(ConfigLineReaderTest, InputBeyondTheLimitEndsThereAsTooLarge)
{
    const std::string key = "\nMANAGMENT_IP_ADDR=";
    const std::string atLimit = std::string(kMaxConfigFileBytes - key.size() - 8, '#') + key + "10.1.1.3";
    AddressSettings settings;
    MemoryByteSource exactly(atLimit);
    EXPECT_EQ(LoadConfigFrom(exactly, settings), FileError::None);
    EXPECT_EQ(settings.m_strControlUnitIp, "10.1.1.3");

    const std::string overLimit = atLimit + "9";
    MemoryByteSource longer(overLimit);
    AddressSettings cut;
    EXPECT_EQ(LoadConfigFrom(longer, cut), FileError::TooLarge);
    EXPECT_EQ(cut.m_strControlUnitIp, "10.1.1.3");
}
} // namespace
