#pragma once

#include <string>
#include <string_view>

// A message line as it may reach a terminal: a file name or an argument echoed in it may hold control
// characters (an escape sequence, a line feed forging a second message), which are written as
// escapes so that one message is always one line and nothing reaches the terminal raw. A text
// without control characters is returned as it is, so that Windows paths read as typed. In one that
// holds any, ESC becomes \e, LF \n, CR \r, TAB \t, every other byte below 0x20 and 0x7F \xHH (two
// lower-case hex digits), and every backslash \\, so that the escaped text reads back exactly. Bytes
// from 0x80 up are left alone: they are the name's own characters (UTF-8, or WTF-8 on Windows).
std::string QuoteControls(std::string_view text);
