#pragma once

#include "files/ReplaceSteps.h"

// Finds where path leads one name at a time, from descriptors, so that the system follows no symbolic
// link on its own: each is looked at first, and followed only where the system's rule for shared
// folders (protected_symlinks) would follow it, whatever that setting says. In a sticky folder that
// everyone may write (such as /tmp) only the caller's links and the folder owner's are followed:
// anyone could have pointed another at a file of the caller's (sudoedit refuses them too).
// place gets the last name and its folder, held open; file the file there, opened for reading
// without following a link, or none where the name leads to nothing. A missing last name is no
// failure, unless a link led to it: a link to a missing file is refused.
FileError FollowPath(const char* path, FilePlace& place, FileHandle& file);
