#pragma once

#include <string>
#include <vector>

// What a program run to its end left behind.
struct ProcessResult
{
    // The exit status; 128 + the signal's number when a signal ended it.
    int status = -1;
    std::string out;
    std::string err;
};

// Runs program with args in the current working folder, with nothing on standard input, and
// collects its standard output and error. With asNobody a root caller on POSIX runs it as the user
// nobody, so that the kernel's permission checks apply; Windows has no such user and ignores it.
// On Windows program and arguments are WTF-8, so that any name reaches the child.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, bool asNobody = false);
