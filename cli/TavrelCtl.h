#pragma once

#include "cli/ExitStatus.h"

#include "cli/Output.h"
#include <span>
#include <string_view>

// The whole program but its entry point: args are the arguments after the program name.
ExitStatus RunTavrelCtl(std::span<const std::string_view> args, OutputStream& out, OutputStream& err);
