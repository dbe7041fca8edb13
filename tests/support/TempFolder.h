#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A new empty folder under the system's temporary folder, removed with everything in it at the end.
// Made the working folder for as long as it lives (lan.cfg is always relative to it), unless it is
// only a place to hand to another process; the previous working folder comes back at the end.
class TempFolder
{
public:
    enum class Use
    {
        AsWorkingFolder,
        AsPath,
    };

    explicit TempFolder(Use use = Use::AsWorkingFolder);
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
    std::filesystem::path m_previous;
    bool m_entered;
};

// Makes a folder the working folder for as long as it lives; the previous one comes back at the end.
class WorkingFolder
{
public:
    explicit WorkingFolder(const std::filesystem::path& folder);
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;
    ~WorkingFolder();

private:
    std::filesystem::path m_previous;
};

// The names in a folder, sorted.
std::vector<std::string> DirectoryEntries(const std::filesystem::path& folder = ".");

// The whole content of a regular file, or nothing when there is no regular file there.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

// Creates or truncates the file and writes the bytes unchanged.
void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);
