#pragma once

#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"

#include <ostream>

// The commands that work on a settings file: show, check and set. Output goes to out, every
// message and warning to err.
ExitStatus RunFileCommand(const Request& request, std::ostream& out, std::ostream& err);
