// The line diff and the three-way merge on script-sized texts and far
// beyond: N lines of script-like text with 1% of the lines changed on each
// side, scattered. Goals at 100,000 lines: BM_Diff 30 ms, BM_ThreeWayMerge
// 50 ms (the merge diffs the base against both sides, then merges).
//
// Beside them what the editor adds around them: the merge of whole script
// texts (cut into lines and joined again), the side-by-side layout of the
// "Changed in Commence" dialog, and one write of a recovery file, which runs
// on the editor's thread while the user types.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "document/script_lines.h"
#include "history/line_diff.h"
#include "history/recovery_folder.h"
#include "history/script_merge.h"
#include "history/side_by_side.h"
#include "history/three_way_merge.h"

namespace {

using Lines = std::vector<std::string>;

// Lines as scripts have them: many distinct statements, and blank lines and
// block ends that repeat.
Lines ScriptLike(std::size_t count) {
    Lines lines;
    lines.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (i % 10 == 9)
            lines.emplace_back("");
        else if (i % 10 == 8)
            lines.emplace_back("End Sub");
        else
            lines.push_back("    Field" + std::to_string(i) + ".Value = Item(" +
                            std::to_string(i * 7) + ") & \"text\"");
    }
    return lines;
}

// `base` with 1% of its lines changed at places `seed` picks: a third
// replaced, a third deleted, a third with a line inserted after them.
Lines ChangeOnePercent(const Lines& base, unsigned seed, const std::string& mark) {
    std::mt19937 random(seed);
    std::vector<char> change(base.size(), 0);
    for (std::size_t n = 0; n < base.size() / 100; ++n)
        change[random() % base.size()] = 1 + random() % 3;
    Lines out;
    out.reserve(base.size() + base.size() / 100);
    for (std::size_t i = 0; i < base.size(); ++i) {
        switch (change[i]) {
            case 1:
                out.push_back(mark + " replaced " + std::to_string(i));
                break;
            case 2:
                break;
            case 3:
                out.push_back(base[i]);
                out.push_back(mark + " inserted " + std::to_string(i));
                break;
            default:
                out.push_back(base[i]);
        }
    }
    return out;
}

void BM_Diff(benchmark::State& state) {
    const Lines base = ScriptLike(static_cast<std::size_t>(state.range(0)));
    const Lines changed = ChangeOnePercent(base, 1, "' mine");
    std::size_t hunks = 0;
    for (auto _ : state) {
        const auto diff = vk::DiffLines(base, changed);
        hunks = diff.size();
        benchmark::DoNotOptimize(diff.data());
    }
    state.counters["hunks"] = static_cast<double>(hunks);
}
BENCHMARK(BM_Diff)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ThreeWayMerge(benchmark::State& state) {
    const Lines base = ScriptLike(static_cast<std::size_t>(state.range(0)));
    const Lines mine = ChangeOnePercent(base, 1, "' mine");
    const Lines theirs = ChangeOnePercent(base, 2, "' theirs");
    std::size_t conflicts = 0;
    for (auto _ : state) {
        const vk::MergeResult merged = vk::MergeLines(base, mine, theirs);
        conflicts = merged.conflicts;
        benchmark::DoNotOptimize(merged.lines.data());
    }
    state.counters["conflicts"] = static_cast<double>(conflicts);
}
BENCHMARK(BM_ThreeWayMerge)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_MergeScripts(benchmark::State& state) {
    const Lines base = ScriptLike(static_cast<std::size_t>(state.range(0)));
    const std::string baseText = vk::JoinScriptLines(base);
    const std::string mine = vk::JoinScriptLines(ChangeOnePercent(base, 1, "' mine"));
    const std::string theirs = vk::JoinScriptLines(ChangeOnePercent(base, 2, "' theirs"));
    for (auto _ : state) {
        const vk::ScriptMergeResult merged = vk::MergeScripts(baseText, mine, theirs);
        benchmark::DoNotOptimize(merged.text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * baseText.size()));
}
BENCHMARK(BM_MergeScripts)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_AlignThree(benchmark::State& state) {
    const Lines base = ScriptLike(static_cast<std::size_t>(state.range(0)));
    const Lines mine = ChangeOnePercent(base, 1, "' mine");
    const Lines theirs = ChangeOnePercent(base, 2, "' theirs");
    for (auto _ : state) {
        const vk::AlignedRows rows = vk::AlignThree(mine, theirs, base);
        benchmark::DoNotOptimize(rows.rows.data());
    }
}
BENCHMARK(BM_AlignThree)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One record of N lines (about 50 bytes each) with its base, written whole
// beside the old one and renamed over it.
void BM_RecoveryWrite(benchmark::State& state) {
    const Lines base = ScriptLike(static_cast<std::size_t>(state.range(0)));
    const vk::RecoveryRecord record{{"Demo Sales", "Account", "Account"},
                                    0,
                                    vk::JoinScriptLines(base),
                                    vk::JoinScriptLines(ChangeOnePercent(base, 1, "' mine"))};
    const auto folder = std::filesystem::temp_directory_path() /
                        ("vk-recovery-bench-" + std::to_string(std::random_device{}()));
    {
        vk::RecoverySession session(folder);
        for (auto _ : state) session.Write(record);
    }
    std::filesystem::remove_all(folder);
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * (record.base.size() + record.text.size())));
}
BENCHMARK(BM_RecoveryWrite)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
