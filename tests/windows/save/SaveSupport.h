#pragma once
// What the save cases share: the folders made for them outside Wine, and the two outcomes a case
// expects of a save (the other is in SaveCases.cpp).
#include "config/AddressSettings.h"
#include "tests/support/SampleConfig.h"
#include "tests/support/SettingsBuilder.h"
#include "tests/support/TempFolder.h"

#include <optional>
#include <string>
#include <string_view>

inline constexpr std::string_view kOriginal = kEarlierConfigText;

// Enters a folder made outside Wine (found through TAVREL_SAVE_FIXTURES); where it could not be
// made, the case is skipped with the reason and nothing is returned.
std::optional<WorkingFolder> EnterPrepared(const std::string& name);

// Saves, and expects the refusal told once with lan.cfg and its folder exactly as they were.
void ExpectRefused(const AddressSettings& settings = SampleSettings());
