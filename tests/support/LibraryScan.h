#pragma once
// The C library's own reading of the address pattern, then the address rule on its items: the
// reference that NormalizeAddress is compared with. glibc was checked against our scan for the
// corners where C libraries are known to part ways: a sign counts toward the three-character width
// ("+255" reads 25), a lone sign or a sign before white space converts nothing, a negative wraps,
// and a period is matched without skipping white space. It agreed on all of them, so no class of
// input is excluded from the comparison. One outcome is folded: before the first item glibc
// reports end of input (-1) where our scan counts 0; both refuse the text.
#include <cctype>
#include <cstdio>
#include <string>

struct LibraryScan
{
    int count;
    unsigned numbers[4];
    char trailing;
};

// Reads up to the first NUL, as the C library does.
inline LibraryScan ScanWithLibrary(const std::string& text)
{
    LibraryScan r{0, {0, 0, 0, 0}, '\0'};
    r.count = std::sscanf(text.c_str(), "%3u.%3u.%3u.%3u%c", &r.numbers[0], &r.numbers[1], &r.numbers[2], &r.numbers[3],
                          &r.trailing);
    if (r.count < 0)
    {
        r.count = 0;
    }
    return r;
}

inline bool NormalizeWithLibrary(const std::string& text, std::string& canonical)
{
    const LibraryScan r = ScanWithLibrary(text);
    if (r.count < 4 || (r.count == 5 && std::isspace(static_cast<unsigned char>(r.trailing)) == 0))
    {
        return false;
    }
    canonical.clear();
    for (int i = 0; i < 4; ++i)
    {
        if (r.numbers[i] > 255)
        {
            return false;
        }
        canonical += (i > 0 ? "." : "") + std::to_string(r.numbers[i]);
    }
    return true;
}
