#pragma once

#include <string>

// The program that a Windows test program drives from outside: named on its command line after the
// GoogleTest options (windows_e2e [GoogleTest options] PROGRAM), as a path Windows can open.
const std::string& ProgramUnderTest();
