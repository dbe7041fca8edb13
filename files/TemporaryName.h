#pragma once

#include "files/ReplaceSteps.h"

// A new name for a temporary file beside the one it replaces, another on each call: short
// (.~tvlXXXXXXXX.tmp, on Windows ~tvlXXXXXXXX.tmp), so that a file name near the system's limit still
// leaves room for it, and drawn from the system's random source, so that no one can foretell it and
// take it first. Fails only where the system gives no random bytes.
FileError NewTemporaryName(SystemPath& name);
