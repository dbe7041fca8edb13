#include "config/ConfigFile.h"
#include "config/ConfigText.h"
#include "files/FileSystem.h"

#include <cstdint>

namespace
{
class FileByteSource final : public ConfigByteSource
{
public:
    FileByteSource(const FileHandle& file, ConfigFileBytes* seen) : m_file(file), m_seen(seen) {}

    // An error ends the file: nothing after it is read, even where a later read would succeed.
    std::size_t Read(char* buffer, std::size_t capacity) override
    {
        if (m_error != FileError::None)
        {
            return 0;
        }
        const std::size_t count = ReadFromFile(m_file, buffer, capacity, m_error);
        if (m_seen != nullptr)
        {
            m_seen->Append({buffer, count});
            if (count == 0 && m_error == FileError::None)
            {
                m_seen->MarkEnd();
            }
        }
        return count;
    }

    FileError Error() const override { return m_error; }

private:
    const FileHandle& m_file;
    ConfigFileBytes* m_seen;
    FileError m_error = FileError::None;
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
    FileError error = FileError::None;
    switch (KindOfFile(path, error))
    {
    case FileKind::Regular:
        break;
    case FileKind::Missing:
        return {ConfigReadStatus::Missing};
    case FileKind::NotRegular:
        return {ConfigReadStatus::NotRegular};
    case FileKind::Unknown:
        return {ConfigReadStatus::Unreadable, error};
    }
    // Bytes as they are: the line rules are applied by the reader, the same on every platform, and
    // the reader keeps a large buffer of its own.
    const FileHandle file = OpenFileForReading(path, error);
    if (!file.IsValid())
    {
        return {ConfigReadStatus::Unreadable, error};
    }
    // A file already larger than the limit is not read at all (a sparse file of terabytes would take
    // hours); one that grows meanwhile is cut at the limit by the reader.
    const std::uint64_t size = SizeOfFile(file, error);
    if (error != FileError::None)
    {
        return {ConfigReadStatus::Unreadable, error};
    }
    if (size > kMaxConfigFileBytes)
    {
        return {ConfigReadStatus::Unreadable, FileError::TooLarge};
    }
    FileByteSource source(file, seen);
    if (error = LoadConfigFrom(source, settings); error != FileError::None)
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
