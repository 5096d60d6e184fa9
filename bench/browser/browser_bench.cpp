// The code browser's cost on a long script: the structure scan alone, and
// the whole rescan that follows one keystroke (the editor's text handed over,
// scanned, and the tree refilled), as the user waits for it when typing stops.
//
//   browser_bench    Google Benchmark timings

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "browser/code_browser.h"
#include "browser/script_scanner.h"
#include "common/status_sink.h"
#include "editor/script_editor.h"
#include "platform/registry.h"
#include "script_generator.h"
#include "settings/settings.h"

namespace {

void BM_ParseScript(benchmark::State& state) {
    const std::string text = vk::bench::GenerateScript(static_cast<std::size_t>(state.range(0)));
    std::size_t entries = 0;
    for (auto _ : state) {
        const vk::ScanReport report = vk::ParseScript(text);
        entries = report.entries.size();
        benchmark::DoNotOptimize(entries);
    }
    state.counters["entries"] = static_cast<double>(entries);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// One character typed into a comment near the end, then the idle-time
// rescan it arms.
void BM_RescanAfterKeystroke(benchmark::State& state) {
    const std::string text = vk::bench::GenerateScript(static_cast<std::size_t>(state.range(0)));
    const auto registryDir = std::filesystem::temp_directory_path() / "vk-browser-bench-registry";
    vk::Registry registry(registryDir);
    vk::TSettings settings(registry);
    vk::NullStatusSink status;
    QTreeWidget tree;
    vk::ScriptEditor editor;
    vk::TCodeBrowser browser(tree, editor, settings, status, nullptr);
    QObject::connect(&editor, &vk::ScriptEditor::scriptChanged, &browser,
                     [&browser] { browser.ScheduleRescan(); });
    editor.SetPlainText(text);
    editor.setEnabled(true);
    browser.SwitchCodeBrowser();

    const int at = editor.LineIndex(editor.LineCount() - 3);
    for (auto _ : state) {
        editor.SetCaret(at);
        editor.ReplaceSelection("'");
        QCoreApplication::processEvents();
        if (browser.RescanPending()) state.SkipWithError("the rescan did not run");
    }
    state.counters["nodes"] = static_cast<double>(tree.topLevelItem(0)->childCount() +
                                                  tree.topLevelItem(1)->childCount());
}

BENCHMARK(BM_ParseScript)->Arg(100 << 10)->Arg(5 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RescanAfterKeystroke)->Arg(5 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
