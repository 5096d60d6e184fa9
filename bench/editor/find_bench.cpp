// The caret read-out, Find Next, Find Previous and the jump to a line on a
// short and on a long script: the read-out runs on every caret move, so it
// must not grow with the script.
//
//   find_bench    Google Benchmark timings; the argument is the line count

#include <benchmark/benchmark.h>

#include <QLabel>
#include <cstdlib>
#include <string>

#include "common/messages.h"
#include "editor/find_replace.h"
#include "editor/goto_line.h"
#include "editor/position_readout.h"
#include "editor/script_editor.h"
#include "script_generator.h"

namespace {

// `lines` lines of a realistic form script, each ending in CR LF.
std::string ScriptOfLines(int lines) {
    std::string script = vk::bench::GenerateScript(static_cast<std::size_t>(lines) * 40);
    std::size_t end = 0;
    for (int i = 0; i < lines; ++i) {
        end = script.find("\r\n", end);
        if (end == std::string::npos) std::abort();
        end += 2;
    }
    script.resize(end);
    return script;
}

class SilentMessages final : public vk::MessageService {
public:
    vk::MessageAnswer Show(std::string_view, vk::MessageIcon, vk::MessageButtons,
                           std::string_view) override {
        return vk::MessageAnswer::Ok;
    }
    bool Input(std::string_view, std::string_view, std::string&) override { return false; }
};

void BM_CaretReadout(benchmark::State& state) {
    vk::ScriptEditor editor;
    QLabel panel;
    vk::TPositionReadout readout(editor, panel);
    editor.SetPlainText(ScriptOfLines(static_cast<int>(state.range(0))));
    const int middle = editor.LineIndex(editor.LineCount() / 2) + 4;
    bool flip = false;
    for (auto _ : state) {
        editor.SetCaret(middle + (flip ? 1 : 0));  // the read-out follows the move
        flip = !flip;
        benchmark::DoNotOptimize(panel.text().size());
    }
    state.counters["lines"] = editor.LineCount();
}

void BM_FindNextAtTheEnd(benchmark::State& state) {
    vk::ScriptEditor editor;
    SilentMessages messages;
    vk::TFindReplace finder(editor, messages);
    editor.SetPlainText(ScriptOfLines(static_cast<int>(state.range(0))) + "' needle\r\n");
    vk::FindRequest request;
    request.findText = "NEEDLE";
    for (auto _ : state) {
        editor.SetCaret(0);
        if (!finder.FindNext(request)) std::abort();
    }
    state.counters["lines"] = editor.LineCount();
}

// Shift+F3 from the end of the script for a letter that stands on nearly
// every line, and for one that stands only on the first.
void BM_FindPrevious(benchmark::State& state) {
    vk::ScriptEditor editor;
    SilentMessages messages;
    vk::TFindReplace finder(editor, messages);
    editor.SetPlainText("' needle\r\n" + ScriptOfLines(static_cast<int>(state.range(0))));
    vk::FindRequest request;
    request.findText = state.range(1) != 0 ? "e" : "NEEDLE";
    for (auto _ : state) {
        editor.SetCaret(editor.TextLength());
        if (!finder.FindPrevious(request)) std::abort();
    }
    state.counters["lines"] = editor.LineCount();
}

void BM_GotoLine(benchmark::State& state) {
    vk::ScriptEditor editor;
    editor.resize(800, 600);
    editor.SetPlainText(ScriptOfLines(static_cast<int>(state.range(0))));
    const int lines = editor.LineCount();
    int line = 0;
    for (auto _ : state) {
        vk::GotoLine(editor, line, 3);
        line = (line + lines / 7 + 1) % lines;
    }
    state.counters["lines"] = lines;
}

}  // namespace

BENCHMARK(BM_CaretReadout)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindNextAtTheEnd)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindPrevious)
    ->ArgsProduct({{100, 100000}, {1, 0}})
    ->ArgNames({"lines", "frequent"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GotoLine)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);
