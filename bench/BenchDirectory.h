#pragma once

#include <filesystem>
#include <string_view>

// A fresh directory under the system's temp directory, removed with everything in it on destruction.
// The loader and the saver work on "lan.cfg" in the current directory, so benchmarks chdir into
// subdirectories of this one.
class BenchDirectory
{
public:
    BenchDirectory();
    ~BenchDirectory();
    BenchDirectory(const BenchDirectory&) = delete;
    BenchDirectory& operator=(const BenchDirectory&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

    // Creates Path()/name (if needed) holding lan.cfg with exactly these bytes, and returns it.
    std::filesystem::path WriteConfig(std::string_view name, std::string_view content) const;

private:
    std::filesystem::path m_path;
    std::filesystem::path m_previousCwd;
};
