#pragma once
// The files the benchmarks make: a scratch folder removed at the end, and whole files.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

class ScratchFolder
{
public:
    // A new empty folder under the system's temporary folder; throws when none can be made.
    ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);
// Creates or truncates the file; throws when it cannot be written.
void WriteWholeFile(const std::filesystem::path& path, std::string_view bytes);
