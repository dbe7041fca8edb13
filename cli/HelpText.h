#pragma once

#include <string_view>

// What --help prints: every command, option and exit status, and the decisions a script relies on.
// No line is wider than 79 columns, so that an 80-column console does not wrap it.
inline constexpr std::string_view kHelpText =
    R"(Usage: tavrelctl COMMAND [OPTIONS]

Shows, checks and sets the addresses in a Tavrel settings file by the dialog's
own rules.

Commands:
  show    print the four settings as loaded, one "name=value" line each:
          control-unit, shelf-management, subnet-mask, default-router; the
          values are the file's bytes as they are, control bytes included
          (--json escapes them)
  check   check the four addresses as the dialog's OK does, then the network
          checks
  set     change the named settings, check all four as the dialog's OK does,
          run the network checks, and write the file; a missing file counts as
          empty. Where the file already holds exactly what set would write,
          set writes nothing and leaves the file untouched (--json tells which)
  help    this text

Options:
  --file PATH       the settings file (default: lan.cfg in the working
                    directory); show, check and set
  --strict          any network warning fails the command; check and set
  --json            one JSON object on standard output (below); show, check
                    and set
  --control-unit ADDRESS
                    set: the Control Unit address
  --shelf-management ADDRESS
                    set: the Shelf Management address
  --subnet-mask MASK
                    set: the subnet mask of both interfaces
  --default-router ADDRESS
                    set: the default router of both interfaces
  --help, -?, /?    this text, whatever else is given
  --version         the program's version

A value follows its option or is joined to it by "=" (--file=units/a/lan.cfg);
a word that starts with "--" is never taken as a value. Each option may be
given once: a repeated option is refused, not overridden. Empty values, and
bytes outside ASCII in an address, are refused. show and check never write or
create anything; set writes nothing when a check fails.

A read of the file that fails part way fails show, check and set (set then
writes nothing), and so does a file larger than 1 MiB, which is not read; a
directory, FIFO or device is refused unopened. Output that cannot be written
fails the command. While set reads, changes and writes the file it holds an
exclusive lock on PATH.lock beside it (created empty and left in place; the
file itself where its folder takes no new file). A second set on the same file
waits about a second, then fails with status 75 and writes nothing: run it
again. Where PATH.lock cannot be used (a folder or a link put in its place),
set fails with status 75 and writes nothing. The lock dies with its process.
show and check take no lock and never wait. The dialog takes no lock:
whichever of it and set writes last wins.

Messages name the file and quote what they echo; control characters in them
are shown as \e, \n, \r, \t or \xHH (and a backslash then as \\), so that
each message is one line.

Network warnings, one line each on standard error (check and set):
  - the subnet mask is not contiguous ones then zeros; the checks below that
    need a subnet (network, broadcast, router) are then skipped
  - control-unit or shelf-management is the network or broadcast address of
    its subnet (masks shorter than /31 only: a /31 or /32 has no such
    addresses)
  - default-router is outside the subnet of control-unit, or of
    shelf-management
  - control-unit and shelf-management are the same address

--json: messages still go to standard error; standard output holds one line,
one JSON object with, where the command got that far:
  "settings"  the four settings by the names above, as the file holds them
              when the command ends (as loaded, or as set wrote them)
  "warnings"  check and set: a list of {"code", "message"}; the codes are
              mask-not-contiguous, network-address, broadcast-address,
              router-outside-subnet, same-address
  "changed"   set: true when it wrote the file, false when it did not
  "error"     on failure: {"code", "message"}; the codes are usage,
              invalid-address, warning-under-strict, no-such-file,
              not-regular-file, cannot-read, too-large, cannot-lock,
              cannot-write, busy
Strings are the file's bytes: a byte from 0x20 to 0x7E other than " and \ is
itself, " and \ are \" and \\, and every other byte is \u00XX, the character
of the same number; taking each character as one byte (Latin-1) gives the
bytes back.

Exit status:
  0   success (warnings allowed without --strict)
  1   an address fails the dialog's check; the first failure is reported
  2   the file cannot be read or written: missing (show, check), not a
      regular file, unreadable or a read that failed, larger than 1 MiB,
      read-only, or in a folder that takes no new file; or the output cannot
      be written
  3   a network warning under --strict; set then writes nothing
  64  usage: unknown command or option, missing, empty or repeated value,
      option that does not go with the command, set naming no setting
  70  internal error, such as running out of memory
  75  set: another set is changing the same file, or its lock file cannot be
      used; nothing was written, try again (after removing what stands in
      the lock file's place)
)";
