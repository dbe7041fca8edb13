#pragma once

#include <windows.h>

// Gives the new file temp the explicit access list of the old file (an inherited one the folder
// gives the new file too). False where the new file still would not grant what the old one does:
// under Wine the list is made from the Unix mode, and setting one sets a wider mode.
bool CopyExplicitAccess(HANDLE old, HANDLE temp);
