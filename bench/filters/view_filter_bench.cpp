// Composing a ViewFilter command and reading one back from a script line, as
// the builder does on every change and on every opening.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "filter_command.h"
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

// A bare command whose slots are nothing but commas, as a hostile line may
// be: once quadratic (1,000,000 commas took 4.6 s), now linear.
void BM_ReadViewFilterCommas(benchmark::State& state) {
    const std::string line =
        "[ViewFilter(1,F,," + std::string(static_cast<std::size_t>(state.range(0)), ',') + ")]";
    for (auto _ : state) benchmark::DoNotOptimize(vk::ReadViewFilter(line));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadViewFilterCommas)->RangeMultiplier(4)->Range(1 << 12, 1 << 20)->Complexity();

// `vellumkit-cli filter` on one line of state.range(0) keys: once quadratic
// (100,000 keys took 10 s), now n log n. The keys are unknown, so the line
// is refused once read, after the whole object is built.
void BM_FilterLineOfManyKeys(benchmark::State& state) {
    std::string line = "{";
    for (int64_t i = 0; i < state.range(0); ++i)
        line += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":1";
    line += "}\n";
    std::ostringstream out;
    std::ostringstream err;
    for (auto _ : state) {
        std::istringstream in(line);
        benchmark::DoNotOptimize(vk::cli::ComposeFilters(in, false, {out, err}));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FilterLineOfManyKeys)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 16)
    ->Complexity(benchmark::oNLogN);

}  // namespace

BENCHMARK_MAIN();
