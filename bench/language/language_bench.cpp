// The script checker's cost: a whole check of a long script (parse and
// inspections), and the check the editor runs again after one keystroke in
// a 100,000-line script.
//
//   language_bench    Google Benchmark timings

#include <benchmark/benchmark.h>

#include <string>

#include "checked_script.h"
#include "language/script_check.h"

namespace {

// The editor's way: one checker kept from check to check, its memory reused.
void BM_CheckScript(benchmark::State& state) {
    const std::string text =
        vk::bench::GenerateCheckedScript(static_cast<std::size_t>(state.range(0)));
    vk::language::ScriptChecker checker;
    std::size_t problems = 0;
    std::size_t references = 0;
    for (auto _ : state) {
        const vk::language::ScriptCheck& check = checker.Check(text);
        problems = check.diagnostics.size();
        references = check.tree.references.size();
        benchmark::DoNotOptimize(problems);
    }
    if (problems != 0) state.SkipWithError("the generated script should check clean");
    state.counters["lines"] = static_cast<double>(vk::language::LineIndex::Of(text).LineCount());
    state.counters["references"] = static_cast<double>(references);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// The command line's way: a fresh check with fresh memory for each file.
void BM_CheckScriptOnce(benchmark::State& state) {
    const std::string text =
        vk::bench::GenerateCheckedScript(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const vk::language::ScriptCheck check = vk::language::CheckScript(text);
        benchmark::DoNotOptimize(check.diagnostics.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// A letter typed into a name in the middle of the script and taken back, in
// turn: every check sees a changed text, one with a problem and one without,
// and reuses the checker's memory as the editor's idle-time check will.
void BM_RecheckAfterKeystroke(benchmark::State& state) {
    std::string text =
        vk::bench::GenerateCheckedScript(0, static_cast<std::size_t>(state.range(0)));
    const std::size_t at = text.find("gTotal = gTotal", text.size() / 2);
    if (at == std::string::npos) {
        state.SkipWithError("no place to type");
        return;
    }
    vk::language::ScriptChecker checker;
    (void)checker.Check(text);
    bool typed = false;
    std::size_t problems = 0;
    for (auto _ : state) {
        text[at + 1] = typed ? 'T' : 'X';  // gTotal <-> gXotal
        typed = !typed;
        problems = checker.Check(text).diagnostics.size();
        benchmark::DoNotOptimize(problems);
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}

BENCHMARK(BM_CheckScript)->Arg(100 << 10)->Arg(5 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckScriptOnce)->Arg(5 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecheckAfterKeystroke)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
