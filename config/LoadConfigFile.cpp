#include "config/ConfigFile.h"
#include "config/ConfigText.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
struct FileCloser
{
    void operator()(std::FILE* pFile) const { std::fclose(pFile); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

class FileByteSource final : public ConfigByteSource
{
public:
    explicit FileByteSource(std::FILE* pFile) : m_pFile(pFile) {}

    // fread stops short only at the end or on an error; both end the load.
    std::size_t Read(char* pBuffer, std::size_t nCapacity) override
    {
        return std::fread(pBuffer, 1, nCapacity, m_pFile);
    }

private:
    std::FILE* m_pFile;
};
} // namespace

ConfigReadStatus ReadConfigFile(const char* pszPath, AddressSettings& settings)
{
    // Looked at before opening: opening a FIFO waits for a writer, and a device may never end.
    std::error_code error;
    switch (fs::status(pszPath, error).type())
    {
    case fs::file_type::regular:
        break;
    case fs::file_type::not_found:
        return ConfigReadStatus::Missing;
    case fs::file_type::none:
    case fs::file_type::unknown:
        return ConfigReadStatus::Unreadable;
    default:
        return ConfigReadStatus::NotRegular;
    }
    // Binary mode: the line rules are applied by the reader, the same on every platform.
    const FilePtr file(std::fopen(pszPath, "rb"));
    if (!file)
    {
        return ConfigReadStatus::Unreadable;
    }
    // The reader keeps a large buffer of its own.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    FileByteSource source(file.get());
    LoadConfigFrom(source, settings);
    return ConfigReadStatus::Loaded;
}

void LoadConfigFile(AddressSettings& settings)
{
    // Only a name that is not there at all is created: a symbolic link whose target is missing is
    // left alone rather than followed to create its target.
    std::error_code error;
    if (fs::symlink_status(kConfigFileName, error).type() == fs::file_type::not_found)
    {
        const FilePtr created(std::fopen(kConfigFileName, "ab"));
    }
    ReadConfigFile(kConfigFileName, settings);
}
