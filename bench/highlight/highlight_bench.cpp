#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "highlight/color_stream.h"
#include "highlight/rtf_reader.h"
#include "highlight/tokenizer.h"
#include "script_generator.h"

namespace {

// Fonts as a user's scheme has them: table colours, one bold, one italic.
vk::ClassFonts SchemeFonts() {
    vk::ClassFonts fonts;
    fonts[vk::IndexOf(vk::TokenClass::Comment)].color = 0x008000;
    fonts[vk::IndexOf(vk::TokenClass::Comment)].style = vk::kItalic;
    fonts[vk::IndexOf(vk::TokenClass::Keyword)].color = 0xFF0000;
    fonts[vk::IndexOf(vk::TokenClass::Keyword)].style = vk::kBold;
    fonts[vk::IndexOf(vk::TokenClass::String)].color = 0x0000FF;
    fonts[vk::IndexOf(vk::TokenClass::Hexadecimal)].color = 0x800080;
    return fonts;
}

const std::string& Script(std::size_t bytes) {
    static std::string small = vk::bench::GenerateScript(1 << 10);
    static std::string medium = vk::bench::GenerateScript(100 << 10);
    static std::string large = vk::bench::GenerateScript(5 << 20);
    return bytes <= (1 << 10) ? small : (bytes <= (100 << 10) ? medium : large);
}

void BM_NextToken(benchmark::State& state) {
    const std::string& text = Script(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::size_t tokens = 0;
        for (const char* p = text.c_str(); *p != 0; ++tokens) {
            vk::Token token = vk::NextToken(p);
            benchmark::DoNotOptimize(token);
        }
        benchmark::DoNotOptimize(tokens);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_ConvertToRtf(benchmark::State& state) {
    const std::string& text = Script(static_cast<std::size_t>(state.range(0)));
    vk::TColorStream stream(SchemeFonts());
    for (auto _ : state) {
        state.PauseTiming();
        stream.LoadText(text);
        state.ResumeTiming();
        stream.ConvertToRtf();
        benchmark::DoNotOptimize(stream.Data().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["rtf_bytes"] = static_cast<double>(stream.Size());
}

// Throughput counted in bytes of the plain text the RTF carries, so that the
// three figures compare directly.
void BM_ReadRtf(benchmark::State& state) {
    const std::string& text = Script(static_cast<std::size_t>(state.range(0)));
    vk::TColorStream stream(SchemeFonts());
    stream.LoadText(text);
    stream.ConvertToRtf();
    const std::string rtf(stream.Data());
    for (auto _ : state) {
        vk::RtfReadResult result = vk::ReadRtf(rtf);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// The whole coloured load against a plain one: convert and read back, or
// just copy the text.
void BM_ColouredLoad(benchmark::State& state) {
    const std::string& text = Script(static_cast<std::size_t>(state.range(0)));
    vk::TColorStream stream(SchemeFonts());
    for (auto _ : state) {
        stream.LoadText(text);
        stream.ConvertToRtf();
        vk::RtfReadResult result = vk::ReadRtf(stream.Data());
        benchmark::DoNotOptimize(result);
        stream.Clear();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void Sizes(benchmark::internal::Benchmark* b) { b->Arg(1 << 10)->Arg(100 << 10)->Arg(5 << 20); }

BENCHMARK(BM_NextToken)->Apply(Sizes);
BENCHMARK(BM_ConvertToRtf)->Apply(Sizes);
BENCHMARK(BM_ReadRtf)->Apply(Sizes);
BENCHMARK(BM_ColouredLoad)->Apply(Sizes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
