#include "config/ConfigFile.h"
#include "config/ConfigText.h"
#include "files/ReplaceFileContents.h"

#include <string>

bool SaveConfigFileAs(const char* path, const AddressSettings& settings, UserFeedback& feedback)
{
    // The whole text exists before the file is touched.
    const std::string text = BuildConfigText(settings);
    if (ReplaceFileContents(path, text))
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
