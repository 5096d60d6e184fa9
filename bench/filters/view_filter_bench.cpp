// Composing a ViewFilter command and reading one back from a script line, as
// the builder does on every change and on every opening.
#include <benchmark/benchmark.h>

#include <string>

#include "filters/view_filter.h"
#include "filters/view_filter_reader.h"

namespace {

vk::ViewFilterInputs ConnectionFieldFilter() {
    vk::ViewFilterInputs in;
    in.quote_style = 0;
    in.filter_number = 4;
    in.except = true;
    in.field = vk::FilterEntry{"Relates To Company", -11};
    in.filter_by = vk::FilterEntry{"Revenue", 10};
    in.number = {2, "Is Between", "1000", "5000", false};
    return in;
}

void BM_ComposeViewFilter(benchmark::State& state) {
    const vk::ViewFilterInputs in = ConnectionFieldFilter();
    for (auto _ : state) benchmark::DoNotOptimize(vk::ComposeViewFilter(in));
}
BENCHMARK(BM_ComposeViewFilter);

// A command after a line of state.range(0) other characters.
void BM_ReadViewFilter(benchmark::State& state) {
    const std::string line = std::string(static_cast<std::size_t>(state.range(0)), 'x') + " " +
                             *vk::ComposeViewFilter(ConnectionFieldFilter());
    for (auto _ : state) benchmark::DoNotOptimize(vk::ReadViewFilter(line));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_ReadViewFilter)->Arg(0)->Arg(1000)->Arg(100000);

// An unclosed value full of closing-sequence look-alikes: the reader must
// stay linear in the line's length.
void BM_ReadViewFilterUnclosedValue(benchmark::State& state) {
    std::string line = R"("[ViewFilter(1,F,,""""a"""",Contains,"""")";
    for (int64_t i = 0; i < state.range(0); ++i) line += R"(""""x)";
    for (auto _ : state) benchmark::DoNotOptimize(vk::ReadViewFilter(line));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadViewFilterUnclosedValue)->Range(1 << 8, 1 << 14)->Complexity();

}  // namespace

BENCHMARK_MAIN();
