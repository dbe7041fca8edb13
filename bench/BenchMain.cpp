#include "bench/BenchDirectory.h"
#include "bench/ConfigFileBench.h"
#include "bench/NormalizeAddressBench.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
    {
        return 1;
    }
    try
    {
        const BenchDirectory dir;
        RegisterConfigFileBenchmarks(dir);
        RegisterNormalizeAddressBenchmarks();
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "tavrel_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
