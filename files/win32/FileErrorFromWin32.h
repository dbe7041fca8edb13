#pragma once

#include <windows.h>

#include "files/FileError.h"

// The error a Win32 error code stands for.
FileError FileErrorFromWin32(DWORD error);
