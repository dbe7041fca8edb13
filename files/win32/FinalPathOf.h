#pragma once

#include <windows.h>

#include <string>

// Where the name of the open file ends: its full path from the system, where a symbolic link leads,
// in the \\?\ form that has no length limit. Empty where the system cannot tell, with GetLastError
// saying why: the name the file was opened by is no answer, since a rename onto it would replace a
// link rather than the file it leads to, and under Wine a link to a file looks like the file itself.
std::wstring FinalPathOf(HANDLE file);
