#pragma once

#include <string>

// The full path of name in the \\?\ form, which has no length limit; empty where the system cannot
// tell, with GetLastError saying why.
std::wstring FullPathOf(const std::wstring& name);
