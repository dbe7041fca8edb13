#include "bench/BenchDirectory.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

BenchDirectory::BenchDirectory() : m_previousCwd(std::filesystem::current_path())
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tavrel-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
    {
        throw std::runtime_error("cannot create a temp directory from " + pattern);
    }
    m_path = pattern;
}

BenchDirectory::~BenchDirectory()
{
    std::error_code error;
    std::filesystem::current_path(m_previousCwd, error);
    std::filesystem::remove_all(m_path, error);
}

std::filesystem::path BenchDirectory::WriteConfig(std::string_view name, std::string_view content) const
{
    const std::filesystem::path dir = m_path / name;
    std::filesystem::create_directories(dir);
    std::ofstream out(dir / "lan.cfg", std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out.flush())
    {
        throw std::runtime_error("cannot write " + (dir / "lan.cfg").string());
    }
    return dir;
}
