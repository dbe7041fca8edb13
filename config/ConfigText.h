#pragma once

#include "config/AddressSettings.h"
#include "config/ConfigLineReader.h"

#include <string>
#include <string_view>

// Handles one line as read: its text stops at the first NUL; "KEY=value" with one of the six keys
// assigns that key's field, anything else is ignored.
void ApplyConfigLine(std::string_view line, AddressSettings& settings);

// Reads every line of the source and applies it; fields that no line names keep their values. A
// failed read ends the reading as the end would, and why it failed is returned.
FileError LoadConfigFrom(ConfigByteSource& source, AddressSettings& settings);

// The same over bytes held in memory.
void LoadConfigText(std::string_view bytes, AddressSettings& settings);

// The file's whole text: the section header and the six keys, each line ending in CR LF.
std::string BuildConfigText(const AddressSettings& settings);
