#include "config/ConfigFile.h"
#include "config/ConfigText.h"
#include "files/FileKind.h"
#include "files/ReadableFile.h"

#include <cerrno>
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
    FileByteSource(std::FILE* file, ConfigFileBytes* seen) : m_file(file), m_seen(seen) {}

    // fread stops short only at the end or on an error. An error ends the file: nothing after it is
    // read, even where a later read would succeed.
    std::size_t Read(char* buffer, std::size_t capacity) override
    {
        if (m_error != 0)
        {
            return 0;
        }
        errno = 0;
        const std::size_t count = std::fread(buffer, 1, capacity, m_file);
        if (std::ferror(m_file))
        {
            m_error = errno != 0 ? errno : EIO;
        }
        if (m_seen != nullptr)
        {
            m_seen->Append({buffer, count});
            if (count == 0 && m_error == 0)
            {
                m_seen->MarkEnd();
            }
        }
        return count;
    }

    int Error() const override { return m_error; }

private:
    std::FILE* m_file;
    ConfigFileBytes* m_seen;
    int m_error = 0;
};
} // namespace

void ConfigFileBytes::Append(std::string_view bytes)
{
    if (m_overflowed || m_bytes.size() + bytes.size() > kLimit)
    {
        m_overflowed = true;
        return;
    }
    m_bytes.append(bytes);
}

ConfigReadResult ReadConfigFile(const char* path, AddressSettings& settings, ConfigFileBytes* seen)
{
    // Looked at before opening: opening a FIFO waits for a writer, and a device may never end.
    switch (KindOfFile(path))
    {
    case FileKind::Regular:
        break;
    case FileKind::Missing:
        return {ConfigReadStatus::Missing};
    case FileKind::NotRegular:
        return {ConfigReadStatus::NotRegular};
    case FileKind::Unknown:
        return {ConfigReadStatus::Unreadable};
    }
    // Binary mode: the line rules are applied by the reader, the same on every platform.
    errno = 0;
    const FilePtr file(OpenFileForReading(path));
    if (!file)
    {
        return {ConfigReadStatus::Unreadable, errno};
    }
    // The reader keeps a large buffer of its own.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    FileByteSource source(file.get(), seen);
    if (const int error = LoadConfigFrom(source, settings); error != 0)
    {
        return {ConfigReadStatus::ReadFailed, error};
    }
    return {ConfigReadStatus::Loaded};
}

void LoadConfigFile(AddressSettings& settings)
{
    // Only a name that is not there at all is created: a symbolic link whose target is missing is
    // left alone rather than followed to create its target.
    CreateEmptyFile(kConfigFileName);
    // Whatever was read before a failed read stands, as it always has for the dialog.
    ReadConfigFile(kConfigFileName, settings);
}
