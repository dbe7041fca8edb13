// Loads arbitrary bytes as lan.cfg and compares the result with a byte-at-a-time reading of the
// same rules, once with the input in one piece and once in small pieces through a small buffer.
#include "config/ConfigText.h"
#include "tests/support/LoadedFields.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace
{
void ReferenceApply(std::string line, LoadedFields& fields)
{
    line = line.substr(0, line.find('\0'));
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0)
    {
        return;
    }
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (key == "SHELF_MNG_IP_ADDR")
    {
        fields.shelfMng = value;
    }
    else if (key == "MANAGMENT_IP_ADDR")
    {
        fields.controlUnit = value;
    }
    else if (key == "SHELF_MNG_SUBNETMASK" || key == "MANAGMENT_SUBNETMASK")
    {
        fields.mask = value;
    }
    else if (key == "SHELF_MNG_DEFGATEWAY" || key == "MANAGMENT_DEFGATEWAY")
    {
        fields.router = value;
    }
}

LoadedFields ReferenceLoad(std::string_view file)
{
    file = file.substr(0, file.find('\x1A'));
    LoadedFields fields;
    std::size_t i = 0;
    bool atEnd = false;
    while (!atEnd)
    {
        std::string line;
        while (line.size() < 199)
        {
            if (i == file.size())
            {
                atEnd = true;
                break;
            }
            if (file[i] == '\n')
            {
                i += 1;
                break;
            }
            if (file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n')
            {
                i += 2;
                break;
            }
            line += file[i++];
        }
        ReferenceApply(line, fields);
    }
    return fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const LoadedFields expected = ReferenceLoad(file);

    AddressSettings whole;
    LoadConfigText(file, whole);
    if (!(FieldsOf(whole) == expected))
    {
        std::abort();
    }

    MemoryByteSource source(file, 1 + size % 13);
    ConfigLineReader reader(source, 0);
    AddressSettings pieces;
    std::size_t reads = 0;
    do
    {
        ApplyConfigLine(reader.ReadLine(), pieces);
        // Every read consumes a byte or reaches the end.
        if (++reads > size + 1)
        {
            std::abort();
        }
    } while (!reader.AtEnd());
    if (!(FieldsOf(pieces) == expected))
    {
        std::abort();
    }
    return 0;
}
