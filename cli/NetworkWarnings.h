#pragma once

#include "config/AddressSettings.h"

#include <string>
#include <string_view>
#include <vector>

// One finding: a code that scripts may rely on (--json) and the line told on standard error.
struct NetworkWarning
{
    std::string_view code;
    std::string message;
};

// The network sanity checks that the dialog does not make, on settings that have passed its check
// and so hold four canonical addresses. One warning per finding, naming the settings and why, in this
// order: a mask that is not contiguous ones then zeros (the subnet checks are then skipped: without
// a contiguous mask there is no subnet to speak of); an address that is the network or broadcast
// address of its subnet (masks shorter than /31, where the subnet has room for both); the router
// outside the subnet of either address; the two addresses equal.
std::vector<NetworkWarning> FindNetworkWarnings(const AddressSettings& settings);
