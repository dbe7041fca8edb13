#include "bench/ConfigFileBench.h"

#include "bench/BenchFiles.h"
#include "bench/GeneratedConfigs.h"
#include "config/ConfigFile.h"
#include "config/ConfigLineReader.h"
#include "tests/support/SampleConfig.h"
#include "tests/support/SettingsBuilder.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace
{
constexpr std::size_t kKiB = 1024;
// Up to the size limit of the settings file: a larger one is not read.
constexpr std::size_t kLargeSizesKiB[] = {16, 128, 1024};
static_assert(kLargeSizesKiB[2] * kKiB == kMaxConfigFileBytes);

// Keeps what a failed save said, for the benchmark's error.
struct LastMessage final : UserFeedback
{
    void ShowMessage(const char* text) override { m_text = text; }
    void FocusControl(int) override {}

    std::string m_text;
};

// Makes root/name holding lan.cfg with exactly these bytes, and returns the folder.
std::filesystem::path WriteConfig(const std::filesystem::path& root, std::string_view name, std::string_view content)
{
    const std::filesystem::path dir = root / name;
    std::filesystem::create_directories(dir);
    WriteWholeFile(dir / kConfigFileName, content);
    return dir;
}

// Loads dir/lan.cfg repeatedly. A load that did not read the file to its end would make any rate
// meaningless, so it stops the benchmark instead.
void LoadLoop(benchmark::State& state, const std::filesystem::path& dir, std::size_t bytes,
              std::string_view expectedControlUnit, std::string_view expectedMask)
{
    std::filesystem::current_path(dir);
    for (auto _ : state)
    {
        AddressSettings settings;
        LoadConfigFile(settings);
        benchmark::DoNotOptimize(settings);
        if (settings.m_strControlUnitIp.View() != expectedControlUnit ||
            settings.m_strSubnetMask.View() != expectedMask)
        {
            state.SkipWithError("the loader did not read the whole file");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

void RegisterLoads(const std::filesystem::path& root)
{
    benchmark::RegisterBenchmark("LoadConfigFile/typical",
                                 [root](benchmark::State& state)
                                 {
                                     LoadLoop(state, WriteConfig(root, "typical", kSampleConfigText),
                                              kSampleConfigText.size(), kSampleControlUnit, kSampleSubnetMask);
                                 })
        ->UseRealTime();

    for (const ConfigShape shape : kAllShapes)
    {
        for (const std::size_t kib : kLargeSizesKiB)
        {
            const std::string name = std::string(ShapeName(shape)) + "_" + std::to_string(kib) + "KiB";
            benchmark::RegisterBenchmark(("LoadConfigFile/" + name).c_str(),
                                         [root, shape, kib, name](benchmark::State& state)
                                         {
                                             const std::filesystem::path where = root / name;
                                             if (!std::filesystem::exists(where / kConfigFileName))
                                             {
                                                 WriteConfig(root, name, MakeConfig(shape, kib * kKiB));
                                             }
                                             LoadLoop(state, where, kib * kKiB, kFirstValue, kLastValue);
                                         })
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
}

// The save replaces lan.cfg durably (temp file, flush, rename), so this measures the disk too.
void RegisterSave(const std::filesystem::path& root)
{
    benchmark::RegisterBenchmark("SaveConfigFile/typical",
                                 [root](benchmark::State& state)
                                 {
                                     const std::filesystem::path where = WriteConfig(root, "save", "");
                                     std::filesystem::current_path(where);
                                     const AddressSettings settings = SampleSettings();
                                     LastMessage feedback;
                                     for (auto _ : state)
                                     {
                                         if (!SaveConfigFile(settings, feedback))
                                         {
                                             state.SkipWithError(("the save failed: " + feedback.m_text).c_str());
                                             break;
                                         }
                                     }
                                     if (ReadWholeFile(where / kConfigFileName) != kSampleConfigText)
                                     {
                                         state.SkipWithError("the saved file is not the expected seven lines");
                                     }
                                     state.SetBytesProcessed(state.iterations() *
                                                             static_cast<std::int64_t>(kSampleConfigText.size()));
                                 })
        ->UseRealTime()
        ->Unit(benchmark::kMicrosecond);
}
} // namespace

void RegisterConfigFileBenchmarks(const std::filesystem::path& root)
{
    RegisterLoads(root);
    RegisterSave(root);
}
