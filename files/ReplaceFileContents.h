#pragma once

#include "files/FileError.h"

#include <string_view>

// Replaces the file at path (bytes on POSIX, WTF-8 on Windows) with text: a temporary file beside
// it, flushed, then one rename over it, so that the name always leads to the old bytes or the new
// ones. The replacement keeps the old file's owner, group, mode, extended attributes and access list
// (on Windows its attributes and explicit access list). A missing file is created by a rename that
// never replaces anything. Only where the folder takes no new file, or the access could not be kept,
// is the file rewritten in place, which is not atomic; the old bytes go back if that write fails.
// Refuses a read-only file (for everyone, whatever our privileges), a directory, a FIFO or device, a
// dangling link, a link whose end the system cannot tell (rather than replace the link), a link that
// another user made in a sticky folder everyone may write (POSIX: the system's own rule for such
// folders, whatever its setting), or a file we may not write. On failure the file is as it was and no
// temporary file is left.
FileError ReplaceFileContents(const char* path, std::string_view text);
