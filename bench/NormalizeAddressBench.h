#pragma once

// NormalizeAddress over accepted texts and over garbage.
void RegisterNormalizeAddressBenchmarks();
