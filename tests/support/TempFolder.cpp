#include "tests/support/TempFolder.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

TempFolder::TempFolder(Use use) : m_previous(fs::current_path()), m_entered(use == Use::AsWorkingFolder)
{
    std::random_device random;
    for (;;)
    {
        const fs::path candidate = fs::temp_directory_path() / ("tavrel-test-" + std::to_string(random()));
        if (fs::create_directory(candidate))
        {
            m_path = candidate;
            break;
        }
    }
    if (m_entered)
    {
        fs::current_path(m_path);
    }
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    if (m_entered)
    {
        fs::current_path(m_previous, ignored);
    }
    // A test may have left the folder or a file in it read-only.
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(m_path, ignored))
    {
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
}

WorkingFolder::WorkingFolder(const fs::path& folder) : m_previous(fs::current_path())
{
    fs::current_path(folder);
}

WorkingFolder::~WorkingFolder()
{
    std::error_code ignored;
    fs::current_path(m_previous, ignored);
}

std::vector<std::string> DirectoryEntries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> ReadFileBytes(const fs::path& path)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error))
    {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const fs::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
