#pragma once

#include <string>
#include <string_view>

// JSON strings are Unicode; the settings file's values, and the names and messages that quote them,
// are bytes. Every byte string goes into JSON by one rule, so that any bytes give valid JSON in plain
// ASCII and come back exactly: a byte from 0x20 to 0x7E stands for itself, '"' and '\' written \" and
// \\; every other byte, control bytes and those above 0x7F alike, is written \u00XX, the character
// of the same number. A reader gets the bytes back by taking each character as one byte (Latin-1).
// The text is escaped here, from the bytes themselves: a message quoted for the console is not
// quoted again.
void AppendJsonString(std::string& json, std::string_view bytes);
