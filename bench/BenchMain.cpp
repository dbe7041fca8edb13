#include "bench/BenchFiles.h"
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
        // The loader and the saver work on lan.cfg in the working folder: each benchmark enters a
        // folder of its own in this one.
        const ScratchFolder folder;
        RegisterConfigFileBenchmarks(folder.Path());
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
