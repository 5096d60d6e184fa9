// ScriptChecksum against zlib's crc32 over the same 5 MB script-like text in
// the same run. Both report bytes per second; the goal is at least half of
// zlib's throughput.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <random>
#include <string>

#include "document/script_checksum.h"

namespace {

const std::string& FiveMegabytes() {
    static const std::string text = [] {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> printable(32, 126);
        std::string t;
        t.reserve(5u << 20);
        while (t.size() < (5u << 20)) {
            for (int i = 0; i < 60; ++i) t += static_cast<char>(printable(random));
            t += "\r\n";
        }
        t.resize(5u << 20);
        return t;
    }();
    return text;
}

void BM_ScriptChecksum(benchmark::State& state) {
    const std::string& text = FiveMegabytes();
    for (auto _ : state) benchmark::DoNotOptimize(vk::ScriptChecksum(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}

void BM_ZlibCrc32(benchmark::State& state) {
    const std::string& text = FiveMegabytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            crc32(0L, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}

BENCHMARK(BM_ScriptChecksum)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibCrc32)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
