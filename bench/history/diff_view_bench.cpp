// The side-by-side view of the "Changed in Commence" dialog filled with
// mine, theirs and the base: N lines each, 1% of them changed on each side.
#include <benchmark/benchmark.h>

#include <string>

#include "history/ui/diff_view.h"

namespace {

std::string ScriptText(std::size_t lines, const char* mark, std::size_t every) {
    std::string text;
    for (std::size_t i = 0; i < lines; ++i) {
        text += "    Field" + std::to_string(i) + ".Value = Item(" + std::to_string(i * 7) + ")";
        if (every && i % every == every / 2) text += mark;
        text += "\r\n";
    }
    return text;
}

void BM_DiffViewShowThree(benchmark::State& state) {
    const auto lines = static_cast<std::size_t>(state.range(0));
    const std::string base = ScriptText(lines, "", 0);
    const std::string mine = ScriptText(lines, " ' mine", 100);
    const std::string theirs = ScriptText(lines, " ' theirs", 101);
    vk::TDiffView view;
    for (auto _ : state) view.ShowThree(mine, theirs, base);
}
BENCHMARK(BM_DiffViewShowThree)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
