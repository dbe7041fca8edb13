#pragma once

#include <cstdint>
#include <optional>

#include "framework/CString.h"

inline constexpr const char kKeystrokeRefusedMessage[] =
    "The IP address field can contain only digits (0-9) and periods (.) as separators";

// Decides whether the character just before the caret is refused. text is the field's whole text,
// selection the raw EM_GETSEL result (start of the selection in its low 16 bits). Returns the byte
// position of the refused character, or nothing when the text is left as it is.
std::optional<int> FindRefusedKeystroke(const CString& text, std::uint32_t selection);
