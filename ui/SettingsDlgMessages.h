#pragma once

// What the settings dialog itself says; the address and file messages live with their rules.
inline constexpr const char kConfigUpdatedMessage[] = "Configuration file updated successfully";
