#pragma once

#include <string_view>

// Whether Windows takes the last name in path for one of its devices rather than a file, whatever
// the folder holds: CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9 (also with the superscript digits
// 1 to 3), CONIN$ and CONOUT$, in any case, with or without an extension, with blanks before the
// extension or at the end ("nul .txt", "COM1 ", "aux."). Opening such a name opens the device (a
// serial port, say), so it is refused before anything opens it. Paths are WTF-8; plain logic, built
// on every platform, used by the Windows half.
bool IsWindowsDeviceName(std::string_view path);
