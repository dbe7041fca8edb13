#pragma once

#include <cstdio>

// Opens the file at path (bytes on POSIX, WTF-8 on Windows) for reading in binary mode; null when
// it cannot.
std::FILE* OpenFileForReading(const char* path);
