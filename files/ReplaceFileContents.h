#pragma once

#include <string_view>

// Replaces the file at path with text, in one step where the directory allows a temporary file
// beside it, otherwise in place with the old bytes put back if the write fails. Refuses a
// read-only file (read-only for everyone, whatever our privileges), a directory, or a file we may
// not write. On false the file is as it was and no temporary file is left.
bool ReplaceFileContents(const char* path, std::string_view text);
