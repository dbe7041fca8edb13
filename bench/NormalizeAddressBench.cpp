#include "bench/NormalizeAddressBench.h"

#include "address/NormalizeAddress.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace
{
const std::vector<CString>& ValidInputs()
{
    static const std::vector<CString> inputs = {
        "10.1.1.2", "192.168.001.010", "255.255.255.255", "+10.1.1.1", " 10. 1. 1. 1 trailing text", "0.0.0.0",
    };
    return inputs;
}

const std::vector<CString>& GarbageInputs()
{
    static const std::vector<CString> inputs = {
        "",
        "10.1.1",
        "1000.1.1.1",
        "256.1.1.1",
        "10.1.1.1x",
        "-10.1.1.1",
        "hello",
        "10 .1.1.1",
        CString(std::string(200, 'x')),
        CString(std::string(200, '1')),
        CString(std::string(200, '.')),
    };
    return inputs;
}

// Every input is normalised once per iteration, on a copy since the call rewrites its argument.
void NormalizeLoop(benchmark::State& state, std::span<const CString> inputs, bool expected)
{
    for (const CString& input : inputs)
    {
        CString copy = input;
        if (NormalizeAddress(copy) != expected)
        {
            state.SkipWithError(("unexpected verdict on \"" + std::string(input.View()) + "\"").c_str());
            return;
        }
    }
    for (auto _ : state)
    {
        for (const CString& input : inputs)
        {
            CString copy = input;
            benchmark::DoNotOptimize(NormalizeAddress(copy));
            benchmark::DoNotOptimize(copy);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(inputs.size()));
}
} // namespace

void RegisterNormalizeAddressBenchmarks()
{
    benchmark::RegisterBenchmark("NormalizeAddress/valid",
                                 [](benchmark::State& state) { NormalizeLoop(state, ValidInputs(), true); });
    benchmark::RegisterBenchmark("NormalizeAddress/garbage",
                                 [](benchmark::State& state) { NormalizeLoop(state, GarbageInputs(), false); });
}
