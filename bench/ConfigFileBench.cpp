#include "bench/ConfigFileBench.h"

#include "bench/BenchDirectory.h"
#include "bench/GeneratedConfigs.h"
#include "config/ConfigFile.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace
{
constexpr std::size_t kMiB = 1024 * 1024;
constexpr std::size_t kLargeSizesMiB[] = {1, 8, 64};

class SilentFeedback final : public UserFeedback
{
public:
    void ShowMessage(const char* text) override { m_strLast = text; }
    void FocusControl(int /*controlId*/) override {}
    const std::string& LastMessage() const { return m_strLast; }

private:
    std::string m_strLast;
};

std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::string content(std::filesystem::file_size(path), '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    return content;
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

void RegisterLoads(const BenchDirectory& dir)
{
    benchmark::RegisterBenchmark("LoadConfigFile/typical",
                                 [&dir](benchmark::State& state) {
                                     LoadLoop(state, dir.WriteConfig("typical", kTypicalConfig), kTypicalConfig.size(),
                                              "10.1.1.3", "255.255.255.0");
                                 })
        ->UseRealTime();

    for (const ConfigShape shape : kAllShapes)
    {
        for (const std::size_t mib : kLargeSizesMiB)
        {
            const std::string name = std::string(ShapeName(shape)) + "_" + std::to_string(mib) + "MiB";
            benchmark::RegisterBenchmark(("LoadConfigFile/" + name).c_str(),
                                         [&dir, shape, mib, name](benchmark::State& state)
                                         {
                                             const std::filesystem::path where = dir.Path() / name;
                                             if (!std::filesystem::exists(where / "lan.cfg"))
                                             {
                                                 dir.WriteConfig(name, MakeConfig(shape, mib * kMiB));
                                             }
                                             LoadLoop(state, where, mib * kMiB, kFirstValue, kLastValue);
                                         })
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
}

// The save replaces lan.cfg durably (temp file, flush, rename), so this measures the disk too.
void RegisterSave(const BenchDirectory& dir)
{
    benchmark::RegisterBenchmark(
        "SaveConfigFile/typical",
        [&dir](benchmark::State& state)
        {
            const std::filesystem::path where = dir.WriteConfig("save", "");
            std::filesystem::current_path(where);
            AddressSettings settings;
            settings.m_strShelfMngIp = "10.1.1.2";
            settings.m_strSubnetMask = "255.255.255.0";
            settings.m_strDefaultRouter = "10.1.1.1";
            settings.m_strControlUnitIp = "10.1.1.3";
            SilentFeedback feedback;
            for (auto _ : state)
            {
                if (!SaveConfigFile(settings, feedback))
                {
                    state.SkipWithError(("the save failed: " + feedback.LastMessage()).c_str());
                    break;
                }
            }
            if (ReadWholeFile(where / "lan.cfg") != kTypicalConfig)
            {
                state.SkipWithError("the saved file is not the expected seven lines");
            }
            state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kTypicalConfig.size()));
        })
        ->UseRealTime()
        ->Unit(benchmark::kMicrosecond);
}
} // namespace

void RegisterConfigFileBenchmarks(const BenchDirectory& dir)
{
    RegisterLoads(dir);
    RegisterSave(dir);
}
