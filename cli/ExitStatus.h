#pragma once

// What tavrelctl's exit status tells a script.
enum class ExitStatus
{
    Success = 0,
    // An address fails the dialog's check.
    InvalidAddress = 1,
    // The settings file cannot be read or written, or the output cannot be written.
    FileError = 2,
    // A network warning under --strict.
    Warning = 3,
    // Another set holds the file's lock; trying again later may succeed (sysexits' EX_TEMPFAIL).
    Busy = 75,
    // The command line is not understood (sysexits' EX_USAGE).
    Usage = 64,
    // Nothing the user can fix, such as running out of memory (sysexits' EX_SOFTWARE).
    Internal = 70,
};
