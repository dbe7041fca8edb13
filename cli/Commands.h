#pragma once

#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"

#include "cli/Output.h"

// The commands that work on a settings file: show, check and set. Output goes to out, every
// message and warning to err.
ExitStatus RunFileCommand(const Request& request, OutputStream& out, OutputStream& err);
