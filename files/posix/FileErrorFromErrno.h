#pragma once

#include "files/FileError.h"

// The error an errno value stands for.
FileError FileErrorFromErrno(int error);
