#pragma once

#include "cli/ExitStatus.h"

#include <ostream>
#include <span>
#include <string_view>

// The whole program but its entry point: args are the arguments after the program name.
ExitStatus RunTavrelCtl(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);
