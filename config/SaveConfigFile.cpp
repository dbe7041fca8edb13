#include "config/ConfigFile.h"
#include "config/ConfigText.h"
#include "files/FileSystem.h"
#include "files/ReplaceFileContents.h"

#include <string>

FileError WriteConfigFile(const char* path, const AddressSettings& settings)
{
    // A Windows device name would open the device itself (a serial port, say).
    if (NamesADevice(path))
    {
        return FileError::NotRegularFile;
    }
    // The whole text exists before the file is touched.
    return ReplaceFileContents(path, BuildConfigText(settings));
}

bool SaveConfigFileAs(const char* path, const AddressSettings& settings, UserFeedback& feedback)
{
    if (WriteConfigFile(path, settings) == FileError::None)
    {
        return true;
    }
    feedback.ShowMessage(kConfigWriteFailedMessage);
    return false;
}

bool SaveConfigFile(const AddressSettings& settings, UserFeedback& feedback)
{
    return SaveConfigFileAs(kConfigFileName, settings, feedback);
}
