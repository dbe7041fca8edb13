#include "config/ConfigFile.h"
#include "config/ConfigText.h"
#include "files/FileKind.h"
#include "files/ReadableFile.h"

#include <cstdio>
#include <memory>

namespace
{
struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

class FileByteSource final : public ConfigByteSource
{
public:
    explicit FileByteSource(std::FILE* file) : m_file(file) {}

    // fread stops short only at the end or on an error; both end the load.
    std::size_t Read(char* buffer, std::size_t capacity) override { return std::fread(buffer, 1, capacity, m_file); }

private:
    std::FILE* m_file;
};
} // namespace

ConfigReadStatus ReadConfigFile(const char* path, AddressSettings& settings)
{
    // Looked at before opening: opening a FIFO waits for a writer, and a device may never end.
    switch (KindOfFile(path))
    {
    case FileKind::Regular:
        break;
    case FileKind::Missing:
        return ConfigReadStatus::Missing;
    case FileKind::NotRegular:
        return ConfigReadStatus::NotRegular;
    case FileKind::Unknown:
        return ConfigReadStatus::Unreadable;
    }
    // Binary mode: the line rules are applied by the reader, the same on every platform.
    const FilePtr file(OpenFileForReading(path));
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
    CreateEmptyFile(kConfigFileName);
    ReadConfigFile(kConfigFileName, settings);
}
