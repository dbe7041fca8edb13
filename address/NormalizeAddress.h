#pragma once

#include "framework/CString.h"

// True when text is a dotted IPv4 address by the scanning rule ("%3u.%3u.%3u.%3u%c", numbers up to
// 255, optionally followed by white space); text is then rewritten as a.b.c.d without leading
// zeros. Otherwise false, and text is left alone.
bool NormalizeAddress(CString& text);
