#pragma once

#include <filesystem>

// LoadConfigFile on the typical file and on large generated ones; SaveConfigFile with its flush. Each
// works in a folder of its own under root.
void RegisterConfigFileBenchmarks(const std::filesystem::path& root);
