// The syntax line: what one caret move costs the editor with the shipped
// VBScript reference as the help topic index (BM_SyntaxLine), on an indexed
// word and on one that is not indexed, and the index lookup alone for an index
// much larger than the reference (BM_IndexLookup).
//
//   help_bench      Google Benchmark timings

#include <benchmark/benchmark.h>

#include <QLabel>
#include <QWidget>
#include <filesystem>
#include <string>
#include <string_view>

#include "editor/script_editor.h"
#include "help/syntax_help.h"
#include "help/syntax_list.h"
#include "platform/registry.h"
#include "settings/settings.h"

namespace {

// A form script of `lines` lines that calls built-in functions throughout.
std::string Script(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += "    total = total + Abs(amount" + std::to_string(i) + ") + Len(Left(name, 3))\r\n";
    return text;
}

struct Editor {
    vk::Registry registry{std::filesystem::temp_directory_path() / "vk-help-bench-registry"};
    vk::TSettings settings{registry};
    QWidget owner;
    QLabel panel;
    vk::ScriptEditor editor{&owner};
    vk::TSyntaxHelp help;

    explicit Editor(const vk::TSyntaxList& index)
        : help(index, editor, panel, settings, owner, [](std::string_view) {}) {
        editor.SetPlainText(Script(2000));
    }
};

// Moves the caret between two places of the middle of the script, as an
// arrow key does, each move followed by the syntax line.
void CaretMoves(benchmark::State& state, std::string_view firstWord, std::string_view secondWord,
                bool indexed) {
    static const vk::TSyntaxList index = vk::TSyntaxList::FromFolder(VK_REFERENCE_DIR);
    if (index.Count() == 0) {
        state.SkipWithError("the reference was not found");
        return;
    }
    Editor e(index);
    // Inside each word, one character after its start.
    const std::string text = e.editor.Line(1000);
    const int line = e.editor.LineIndex(1000);
    const int first = line + static_cast<int>(text.find(firstWord)) + 1;
    const int second = line + static_cast<int>(text.rfind(secondWord)) + 1;
    bool atFirst = true;
    for (auto _ : state) {
        e.editor.SetCaret(atFirst ? first : second);
        atFirst = !atFirst;
    }
    if (e.panel.text().isEmpty() == indexed)
        state.SkipWithError("the syntax line is not as expected");
}

// Between "Abs" and "Left": every move shows a syntax line.
void BM_SyntaxLine(benchmark::State& state) { CaretMoves(state, "Abs", "Left", true); }
// Between the two "total": nothing indexed.
void BM_SyntaxLineNotIndexed(benchmark::State& state) {
    CaretMoves(state, "total", "total", false);
}

// The first entry for a word in an index of `n` entries, as each caret move
// asks for it.
void BM_IndexLookup(benchmark::State& state) {
    std::vector<vk::HelpTopic> topics;
    const auto n = static_cast<int>(state.range(0));
    for (int i = 0; i < n; ++i)
        topics.push_back({"Word" + std::to_string(i) + " Function", "/doc/t.htm"});
    const vk::TSyntaxList index(std::move(topics));
    const std::string key = "word" + std::to_string(n / 2) + " ";
    for (auto _ : state) benchmark::DoNotOptimize(index.FirstStartingWith(key));
}

BENCHMARK(BM_SyntaxLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SyntaxLineNotIndexed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IndexLookup)->Arg(500)->Arg(50000)->Unit(benchmark::kMicrosecond);

}  // namespace
