#pragma once

#include "files/FileError.h"
#include "files/FileHandle.h"

#include <string_view>

// Writes all of bytes from where the file stands, in as many writes as the system needs.
FileError WriteAll(const FileHandle& file, std::string_view bytes);
