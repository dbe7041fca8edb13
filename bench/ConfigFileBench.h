#pragma once

class BenchDirectory;

// LoadConfigFile on the typical file and on large generated ones; SaveConfigFile with its flush.
void RegisterConfigFileBenchmarks(const BenchDirectory& dir);
