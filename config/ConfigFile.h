#pragma once

#include "common/UserFeedback.h"
#include "config/AddressSettings.h"
#include "files/FileError.h"

#include <cstddef>
#include <string>
#include <string_view>

// The settings file, relative to the current working directory.
inline constexpr const char kConfigFileName[] = "lan.cfg";

inline constexpr const char kConfigWriteFailedMessage[] =
    "Unable to write to Configuration file. \nVerify the file Write permission";

// What reading a settings file found.
enum class ConfigReadStatus
{
    Loaded,
    Missing,
    // A directory, a FIFO, a device or a link to one: never opened, so reading cannot hang.
    NotRegular,
    // The file could not be opened, or is larger than kMaxConfigFileBytes (FileError::TooLarge):
    // nothing of it was read.
    Unreadable,
    // A read failed part way, or the file grew past kMaxConfigFileBytes while it was read: the lines
    // before are applied, as if the file ended there.
    ReadFailed,
};

struct ConfigReadResult
{
    ConfigReadStatus status = ConfigReadStatus::Loaded;
    // Why the open or a read failed, where the system said.
    FileError error = FileError::None;
};

// The bytes one read of the settings file saw, kept up to a limit: enough to tell whether the file
// already holds a text that long without reading it a second time.
class ConfigFileBytes
{
public:
    // Well above the longest text the settings file is written with (about 250 bytes).
    static constexpr std::size_t kLimit = 1024;

    // True when the read reached the file's end, the file held no more than the limit and its bytes
    // are exactly text.
    bool Equals(std::string_view text) const { return m_reachedEnd && !m_overflowed && m_bytes == text; }

    void Append(std::string_view bytes);
    void MarkEnd() { m_reachedEnd = true; }

private:
    std::string m_bytes;
    bool m_overflowed = false;
    bool m_reachedEnd = false;
};

// Reads the settings file at path and assigns every field it names; the others keep their
// values. Creates and changes nothing. Where seen is given, the bytes read are kept there too.
ConfigReadResult ReadConfigFile(const char* path, AddressSettings& settings, ConfigFileBytes* seen = nullptr);

// The dialog's load: lan.cfg, created empty first where it is missing and the directory allows.
// Never tells the user anything, and takes a failed read for the end of the file.
void LoadConfigFile(AddressSettings& settings);

// Replaces the file at path with the seven-line form of the settings and tells why it could not;
// the file is then as it was. Tells the user nothing.
FileError WriteConfigFile(const char* path, const AddressSettings& settings);

// Replaces the file at path with the seven-line form of the settings. On failure the user is
// told, the existing file is left exactly as it was, and false is returned.
bool SaveConfigFileAs(const char* path, const AddressSettings& settings, UserFeedback& feedback);

// The dialog's save: SaveConfigFileAs with lan.cfg.
bool SaveConfigFile(const AddressSettings& settings, UserFeedback& feedback);
