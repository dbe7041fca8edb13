#include "config/ConfigFile.h"
#include "config/ConfigText.h"

#include <cerrno>
#include <cstdio>
#include <memory>

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

// Binary mode: the line rules are applied by the reader, the same on every platform.
FilePtr OpenForLoading()
{
    FilePtr file(std::fopen(kConfigFileName, "rb"));
    if (!file && errno == ENOENT)
    {
        // A missing file is created empty, then read like any other.
        if (FilePtr created{std::fopen(kConfigFileName, "ab")})
        {
            created.reset();
            file.reset(std::fopen(kConfigFileName, "rb"));
        }
    }
    if (file)
    {
        // The reader keeps a large buffer of its own.
        std::setvbuf(file.get(), nullptr, _IONBF, 0);
    }
    return file;
}
} // namespace

void LoadConfigFile(AddressSettings& settings)
{
    const FilePtr file = OpenForLoading();
    if (!file)
    {
        return;
    }
    FileByteSource source(file.get());
    LoadConfigFrom(source, settings);
}
