#include "tests/windows/save/SaveSupport.h"

#include "config/ConfigFile.h"
#include "tests/support/RecordingFeedback.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

std::optional<WorkingFolder> EnterPrepared(const std::string& name)
{
    const char* root = std::getenv("TAVREL_SAVE_FIXTURES");
    if (root != nullptr && fs::is_directory(fs::path(root) / name))
    {
        return std::optional<WorkingFolder>(std::in_place, fs::path(root) / name);
    }
    const std::string why = root == nullptr ? "TAVREL_SAVE_FIXTURES is not set: run through CTest"
                                            : ReadFileBytes(fs::path(root) / (name + ".why")).value_or("not prepared");
    [&] { GTEST_SKIP() << why; }();
    return std::nullopt;
}

void ExpectRefused(const AddressSettings& settings)
{
    const std::optional<std::string> bytes = ReadFileBytes(kConfigFileName);
    const std::vector<std::string> entries = DirectoryEntries();
    RecordingFeedback feedback;
    EXPECT_FALSE(SaveConfigFile(settings, feedback));
    EXPECT_EQ(feedback.messages, std::vector<std::string>{kConfigWriteFailedMessage});
    EXPECT_EQ(ReadFileBytes(kConfigFileName), bytes);
    EXPECT_EQ(DirectoryEntries(), entries);
}
