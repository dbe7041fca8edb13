#pragma once

// How a program ends when the C++ runtime fails under it: memory exhausted, a size beyond what a
// string or vector can hold, an exception that nothing catches. Each program defines it once, for
// the way it can tell its user.
[[noreturn]] void EndOnRuntimeFailure() noexcept;
