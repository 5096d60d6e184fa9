// The registry's hive file with n values under one key, as a program that
// keeps a long list in one key would leave it: opening the registry (which
// reads and parses both hives) and writing one more value into it. Both
// should grow linearly with n.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/registry.h"

namespace {

namespace fs = std::filesystem;

// A folder holding a user hive of `values` values, removed at the end.
class HiveFolder {
public:
    explicit HiveFolder(std::int64_t values) {
        std::string pattern = (fs::temp_directory_path() / "vk-registry-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
        std::string text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Bench\\Many]\r\n";
        for (std::int64_t i = 0; i < values; ++i) {
            const std::string n = std::to_string(i);
            text += "\"Value " + n + "\"=";
            text += i % 2 == 0 ? "dword:000" + std::to_string(i % 10000) + "\r\n"
                               : "\"text " + n + "\"\r\n";
        }
        std::ofstream(path_ / "HKEY_CURRENT_USER.reg", std::ios::binary) << text;
    }
    ~HiveFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    HiveFolder(const HiveFolder&) = delete;
    HiveFolder& operator=(const HiveFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void BM_RegistryLoad(benchmark::State& state) {
    const HiveFolder folder(state.range(0));
    for (auto _ : state) {
        vk::Registry registry(folder.path());
        benchmark::DoNotOptimize(registry.LoadError(vk::Hive::CurrentUser));
    }
    if (vk::Registry(folder.path()).LoadError(vk::Hive::CurrentUser))
        state.SkipWithError("the hive did not load");
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RegistryLoad)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// One value written into the loaded hive: the file is formatted and replaced
// (synced to disk), but not read again, since nobody else changed it.
void BM_RegistryWrite(benchmark::State& state) {
    const HiveFolder folder(state.range(0));
    vk::Registry registry(folder.path());
    auto key = registry.OpenKey(vk::Hive::CurrentUser, "Software\\Bench\\Many");
    if (!key) {
        state.SkipWithError("the hive did not load");
        return;
    }
    std::uint32_t n = 0;
    for (auto _ : state)
        if (!key->WriteInteger("Counter", ++n)) state.SkipWithError("the write failed");
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RegistryWrite)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
