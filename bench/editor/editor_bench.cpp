// Loading a script into the editor: the whole coloured load as the program
// does it (colour stream and RTF reader in pieces on both processors while the
// editor takes the text, styles handed over as shown) against a plain
// SCI_SETTEXT of the same text. BM_ColouredLoadStyledThrough adds handing
// every style to the control, as the first edit does.
//
//   editor_bench                          Google Benchmark timings
//   editor_bench --peak-memory MODE SIZE  peak memory of one load, MODE is
//                                         "coloured", "coloured-styled" or
//                                         "plain", SIZE bytes
//
// The memory mode runs one load in a fresh process and prints the growth of
// the peak resident set size (getrusage ru_maxrss) across the load, so run it
// once per mode.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "editor/coloured_load.h"
#include "editor/script_editor.h"
#include "highlight/color_stream.h"
#include "highlight/rtf_reader.h"
#include "script_generator.h"

namespace {

// Realistic form scripts, the same the highlighting benchmarks use.
std::string GenerateScript(std::size_t size) { return vk::bench::GenerateScript(size); }

vk::ClassFonts SchemeFonts() {
    vk::ClassFonts fonts{};
    fonts[vk::IndexOf(vk::TokenClass::Comment)].color = 0x008000;
    fonts[vk::IndexOf(vk::TokenClass::Comment)].style = vk::kItalic;
    fonts[vk::IndexOf(vk::TokenClass::Keyword)].color = 0x800000;
    fonts[vk::IndexOf(vk::TokenClass::Keyword)].style = vk::kBold;
    fonts[vk::IndexOf(vk::TokenClass::String)].color = 0x000080;
    fonts[vk::IndexOf(vk::TokenClass::Number)].color = 0x808000;
    fonts[vk::IndexOf(vk::TokenClass::Hexadecimal)].color = 0x800080;
    return fonts;
}

void LoadColoured(vk::ScriptEditor& editor, const vk::TColorStream& stream,
                  const std::string& text) {
    if (!vk::LoadColouredScript(editor, text, stream)) std::abort();
}

void StyleEverything(vk::ScriptEditor& editor) {
    benchmark::DoNotOptimize(editor.StyleAt(editor.TextLength() - 1));
}

void LoadPlain(vk::ScriptEditor& editor, const std::string& text) {
    editor.SendScintilla(QsciScintillaBase::SCI_SETTEXT, text.c_str());
}

void BM_ColouredLoad(benchmark::State& state) {
    const std::string text = GenerateScript(static_cast<std::size_t>(state.range(0)));
    vk::ScriptEditor editor;
    vk::TColorStream stream(SchemeFonts());
    for (auto _ : state) LoadColoured(editor, stream, text);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_ColouredLoadStyledThrough(benchmark::State& state) {
    const std::string text = GenerateScript(static_cast<std::size_t>(state.range(0)));
    vk::ScriptEditor editor;
    vk::TColorStream stream(SchemeFonts());
    for (auto _ : state) {
        LoadColoured(editor, stream, text);
        StyleEverything(editor);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_PlainLoad(benchmark::State& state) {
    const std::string text = GenerateScript(static_cast<std::size_t>(state.range(0)));
    vk::ScriptEditor editor;
    for (auto _ : state) LoadPlain(editor, text);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// The parts of the coloured load, to see where its time goes.
void BM_ConvertToRtf(benchmark::State& state) {
    const std::string text = GenerateScript(static_cast<std::size_t>(state.range(0)));
    vk::TColorStream stream(SchemeFonts());
    for (auto _ : state) {
        stream.LoadText(text);
        stream.ConvertToRtf();
    }
}

void BM_ReadRtf(benchmark::State& state) {
    const std::string text = GenerateScript(static_cast<std::size_t>(state.range(0)));
    vk::TColorStream stream(SchemeFonts());
    stream.LoadText(text);
    stream.ConvertToRtf();
    const std::string rtf(stream.Data());
    for (auto _ : state) benchmark::DoNotOptimize(vk::ReadRtf(rtf));
}

void BM_LoadRichText(benchmark::State& state) {
    const std::string text = GenerateScript(static_cast<std::size_t>(state.range(0)));
    vk::TColorStream stream(SchemeFonts());
    stream.LoadText(text);
    stream.ConvertToRtf();
    const std::string rtf(stream.Data());
    vk::ScriptEditor editor;
    for (auto _ : state) editor.LoadRichText(rtf);
}

// What the editor control itself costs in a coloured load: taking the text
// without undo, and one style byte per character. Neither can be made
// cheaper from outside; together they bound the coloured load from below.
void BM_EditorAppendText(benchmark::State& state) {
    const std::string text = GenerateScript(static_cast<std::size_t>(state.range(0)));
    vk::ScriptEditor editor;
    editor.SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0UL);
    for (auto _ : state) {
        editor.SendScintilla(QsciScintillaBase::SCI_CLEARALL);
        editor.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, text.size(), text.c_str());
    }
}
void BM_EditorStyleBytes(benchmark::State& state) {
    const std::string text = GenerateScript(static_cast<std::size_t>(state.range(0)));
    std::string styles(text.size(), 0);
    for (std::size_t i = 0; i < styles.size(); ++i) styles[i] = (i / 5) % 7;
    vk::ScriptEditor editor;
    editor.SendScintilla(QsciScintillaBase::SCI_SETTEXT, text.c_str());
    for (auto _ : state) {
        editor.SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, 0UL, 0xFFL);
        editor.SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, styles.size(), styles.data());
    }
}
BENCHMARK(BM_EditorAppendText)->Arg(5 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorStyleBytes)->Arg(5 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertToRtf)->Arg(5 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRtf)->Arg(5 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadRichText)->Arg(5 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColouredLoad)
    ->Arg(1 << 10)
    ->Arg(100 << 10)
    ->Arg(5 << 20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColouredLoadStyledThrough)->Arg(5 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainLoad)->Arg(1 << 10)->Arg(100 << 10)->Arg(5 << 20)->Unit(benchmark::kMillisecond);

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int MeasurePeakMemory(const char* mode, std::size_t size) {
    const std::string text = GenerateScript(size);
    vk::ScriptEditor editor;
    vk::TColorStream stream(SchemeFonts());
    editor.SetPlainText("warm up");
    const long before = PeakKiB();
    if (std::strcmp(mode, "coloured") == 0) {
        LoadColoured(editor, stream, text);
    } else if (std::strcmp(mode, "coloured-styled") == 0) {
        LoadColoured(editor, stream, text);
        StyleEverything(editor);
    } else {
        LoadPlain(editor, text);
    }
    const long after = PeakKiB();
    std::printf("%s load of %zu bytes: peak RSS grew by %ld KiB (%.2f x the script)\n", mode,
                text.size(), after - before,
                static_cast<double>(after - before) * 1024.0 / static_cast<double>(text.size()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--peak-memory") == 0)
        return MeasurePeakMemory(argv[2],
                                 static_cast<std::size_t>(std::strtoull(argv[3], nullptr, 10)));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
