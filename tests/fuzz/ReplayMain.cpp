// Replays a corpus through LLVMFuzzerTestOneInput where libFuzzer is not there (g++): every file of
// the folders and files named on the command line, once, in name order. A target reports a fault
// by aborting; a corpus that holds nothing is a fault of the run.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace
{

std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& named)
{
    std::vector<std::filesystem::path> inputs;
    std::error_code error;
    if (std::filesystem::is_directory(named, error))
    {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(named, error))
        {
            if (entry.is_regular_file())
            {
                inputs.push_back(entry.path());
            }
        }
        std::sort(inputs.begin(), inputs.end());
    }
    else if (std::filesystem::is_regular_file(named, error))
    {
        inputs.push_back(named);
    }
    return inputs;
}

bool ReadWhole(const std::filesystem::path& path, std::vector<char>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
    {
        return false;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i)
    {
        for (const auto& input : InputsOf(argv[i]))
        {
            std::vector<char> bytes;
            if (!ReadWhole(input, bytes))
            {
                std::fprintf(stderr, "cannot read %s\n", input.string().c_str());
                return 1;
            }
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    if (replayed == 0)
    {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    return 0;
}
