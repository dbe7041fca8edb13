// NormalizeAddress on arbitrary bytes. An accepted text must come out canonical, be a fixed point
// and agree with the C library's scan of the same pattern; a refused text must stay as it was.
#include "address/NormalizeAddress.h"
#include "tests/support/LibraryScan.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{

void Require(bool condition)
{
    if (!condition)
    {
        std::abort();
    }
}

// Four numbers 0 to 255 without leading zeros, joined by periods, nothing else.
bool IsCanonical(std::string_view text)
{
    std::size_t pos = 0;
    for (int field = 0; field < 4; ++field)
    {
        if (field > 0 && (pos >= text.size() || text[pos++] != '.'))
        {
            return false;
        }
        const std::size_t first = pos;
        unsigned value = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - first < 3)
        {
            value = value * 10 + static_cast<unsigned>(text[pos++] - '0');
        }
        const std::size_t digits = pos - first;
        if (digits == 0 || value > 255 || (digits > 1 && text[first] == '0'))
        {
            return false;
        }
    }
    return pos == text.size();
}

void Check(const CString& original)
{
    CString text = original;
    std::string expected;
    const bool libraryAccepts = NormalizeWithLibrary(original.GetString(), expected);
    if (NormalizeAddress(text))
    {
        Require(libraryAccepts && text.View() == expected);
        Require(IsCanonical(text.View()));
        CString again = text;
        Require(NormalizeAddress(again) && again == text);
    }
    else
    {
        Require(!libraryAccepts);
        Require(text.View() == original.View());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 4096)
    {
        return 0;
    }
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // As the dialog hands it over (a C string, cut at the first NUL) and with every byte kept.
    Check(CString(bytes.c_str()));
    Check(CString(bytes));
    return 0;
}
