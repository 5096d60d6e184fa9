// The editing commands as the user meets them: one typed character from
// key-down to key-up with its recolouring, a paste of 1,000 lines with its
// recolouring, the block indent of a 10,000-line selection, and a new colour
// scheme over a whole script (the configuration dialog's OK). Scripts are
// realistic form scripts, coloured as a load colours them, every style
// already in the control (as after the first edit).
//
//   editing_bench --benchmark_filter=BM_KeystrokeRecolour

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "editor/block_indenter.h"
#include "editor/coloured_load.h"
#include "editor/line_recolourer.h"
#include "editor/script_editor.h"
#include "highlight/class_looks.h"
#include "highlight/color_stream.h"
#include "platform/registry.h"
#include "script_generator.h"
#include "settings/settings.h"

namespace {

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

// The first `lines` lines of a generated script.
std::string ScriptOfLines(std::size_t lines) {
    std::string text = vk::bench::GenerateScript(lines * 48 + 1024);
    std::size_t at = 0;
    for (std::size_t i = 0; i < lines; ++i) {
        const std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) std::abort();
        at = end + 2;
    }
    text.resize(at);
    return text;
}

// An editor with recolouring attached and a coloured script in it.
struct EditorSetup {
    explicit EditorSetup(std::size_t lines) : stream(SchemeFonts()) {
        editor.resize(800, 600);
        recolourer = new vk::TLineRecolourer(
            editor, [this]() -> const vk::ClassFonts& { return stream.Fonts(); });
        if (!vk::LoadColouredScript(editor, ScriptOfLines(lines), stream)) std::abort();
        benchmark::DoNotOptimize(editor.StyleAt(editor.TextLength() - 1));
    }

    // The start of the first line after `line` whose text begins with a
    // comment apostrophe after blanks, so that the typed characters land in
    // code-free text the same way on every size.
    int MiddleOfTheScript() {
        const int line = editor.LineCount() / 2;
        return editor.LineIndex(line) + editor.LineLength(line) / 2;
    }

    void Key(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
        QKeyEvent event(type, key, modifiers, text);
        QApplication::sendEvent(&editor, &event);
    }

    void Keystroke(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
        Key(QEvent::KeyPress, key, modifiers, text);
        Key(QEvent::KeyRelease, key, modifiers, text);
    }

    vk::TColorStream stream;
    vk::ScriptEditor editor;
    vk::TLineRecolourer* recolourer = nullptr;
};

void BM_KeystrokeRecolour(benchmark::State& state) {
    EditorSetup setup(static_cast<std::size_t>(state.range(0)));
    setup.editor.SetCaret(setup.MiddleOfTheScript());
    for (auto _ : state) {
        setup.Keystroke(Qt::Key_X, {}, QStringLiteral("x"));
        state.PauseTiming();
        setup.Keystroke(Qt::Key_Backspace, {}, QString());
        state.ResumeTiming();
    }
    if (setup.editor.TextLength() == 0) state.SkipWithError("the editor lost its text");
}
BENCHMARK(BM_KeystrokeRecolour)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_PasteRecolour(benchmark::State& state) {
    EditorSetup setup(100000);
    QApplication::clipboard()->setText(
        QString::fromLatin1(ScriptOfLines(static_cast<std::size_t>(state.range(0)))));
    setup.editor.SetCaret(setup.editor.LineIndex(setup.editor.LineCount() / 2));
    const int length = setup.editor.TextLength();
    for (auto _ : state) {
        setup.Keystroke(Qt::Key_V, Qt::ControlModifier, QString());
        state.PauseTiming();
        if (setup.editor.TextLength() <= length) state.SkipWithError("nothing was pasted");
        setup.editor.undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PasteRecolour)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The configuration dialog's OK with another colour scheme: the whole open
// script takes the new class colours (in turn the scheme and another one, so
// every pass changes every comment, keyword and string).
void BM_RecolourWholeScript(benchmark::State& state) {
    EditorSetup setup(static_cast<std::size_t>(state.range(0)));
    vk::ClassFonts other = SchemeFonts();
    other[vk::IndexOf(vk::TokenClass::Comment)].color = 0x563412;
    other[vk::IndexOf(vk::TokenClass::Keyword)].style = 0;
    other[vk::IndexOf(vk::TokenClass::String)].color = 0x0000FF;
    const vk::ClassLooks looks[] = {vk::ClassLooksAsLoaded(other),
                                    vk::ClassLooksAsLoaded(SchemeFonts())};
    int pass = 0;
    for (auto _ : state) {
        const int restyled = setup.editor.RecolourRange(0, setup.editor.TextLength(), looks[pass]);
        if (restyled == 0) state.SkipWithError("nothing was recoloured");
        pass = 1 - pass;
    }
}
BENCHMARK(BM_RecolourWholeScript)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_BlockIndent(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vk-editing-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    {
        vk::Registry registry(folder);
        vk::TSettings settings(registry);
        const auto lines = static_cast<int>(state.range(0));
        EditorSetup setup(static_cast<std::size_t>(lines));
        vk::TBlockIndenter indenter(setup.editor, *setup.recolourer, settings);
        for (auto _ : state) {
            setup.editor.SelectAll();
            indenter.IndentBlock();
            state.PauseTiming();
            setup.editor.undo();
            state.ResumeTiming();
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_BlockIndent)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
