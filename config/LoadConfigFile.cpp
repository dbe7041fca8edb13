#include "config/ConfigFile.h"
#include "config/ConfigText.h"
#include "files/FileSystem.h"

namespace
{
class FileByteSource final : public ConfigByteSource
{
public:
    explicit FileByteSource(const FileHandle& file) : m_file(file) {}

    // An error ends the file: nothing after it is read, even where a later read would succeed.
    std::size_t Read(char* buffer, std::size_t capacity) override
    {
        return m_error != FileError::None ? 0 : ReadFromFile(m_file, buffer, capacity, m_error);
    }

    FileError Error() const override { return m_error; }

private:
    const FileHandle& m_file;
    FileError m_error = FileError::None;
};
} // namespace

ConfigReadResult ReadConfigFile(const char* path, AddressSettings& settings)
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
    FileByteSource source(file);
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
