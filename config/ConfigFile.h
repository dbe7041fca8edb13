#pragma once

#include "common/UserFeedback.h"
#include "config/AddressSettings.h"

// The settings file, relative to the current working directory.
inline constexpr const char kConfigFileName[] = "lan.cfg";

inline constexpr const char kConfigWriteFailedMessage[] =
    "Unable to write to Configuration file. \nVerify the file Write permission";

// Assigns every field that lan.cfg names; the others keep their values. A missing file is created
// empty where the directory allows. Never tells the user anything.
void LoadConfigFile(AddressSettings& settings);

// Replaces lan.cfg with the seven-line form of the settings. On failure the user is told, the
// existing file is left exactly as it was, and false is returned.
bool SaveConfigFile(const AddressSettings& settings, UserFeedback& feedback);
