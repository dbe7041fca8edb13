#pragma once

#include "common/UserFeedback.h"
#include "config/AddressSettings.h"

// Normalises the four addresses top to bottom as the dialog shows them. At the first bad one it
// shows that field's message, focuses its control and returns false; fields before it stay
// normalised.
bool ValidateAddresses(AddressSettings& settings, UserFeedback& feedback);
