// The editing help at the caret in a 100,000-line script, on a check made
// beforehand (as the editor and the language server keep one): the
// completion list with 2,000 schema names at hand, signature help and hover.
//
//   editing_help_bench    Google Benchmark timings

#include <benchmark/benchmark.h>

#include <string>

#include "checked_script.h"
#include "help/syntax_list.h"
#include "language/builtin_reference.h"
#include "language/completion.h"
#include "language/hover.h"
#include "language/script_check.h"
#include "language/signature_help.h"

namespace {

using namespace vk::language;

// A checked script of `lines` lines and a category of 2,000 fields and
// connections.
struct Setting {
    explicit Setting(std::size_t lines)
        : text(vk::bench::GenerateCheckedScript(0, lines)),
          check(CheckScript(text)),
          reference(vk::TSyntaxList::FromFolder(std::string(VK_SOURCE_DIR) + "/data/vbsdoc")) {
        for (int i = 0; i < 1900; ++i) schema.fields.push_back("Field number " + std::to_string(i));
        for (int i = 0; i < 100; ++i)
            schema.connections.push_back(
                {"Relates to " + std::to_string(i), "Category " + std::to_string(i)});
        sources.reference = &reference;
        sources.schema = &schema;
    }
    // Just after `marker` in the middle of the script.
    [[nodiscard]] std::uint32_t After(std::string_view marker) const {
        return static_cast<std::uint32_t>(text.find(marker, text.size() / 2) + marker.size());
    }

    std::string text;
    ScriptCheck check;
    BuiltinReference reference;
    CategorySchema schema;
    CompletionSources sources;
};

// At a statement with nothing typed yet: every keyword, engine name and name
// in scope (thousands of Subs and Functions) is a candidate for the list.
void BM_CompletionList(benchmark::State& state) {
    const Setting setting(static_cast<std::size_t>(state.range(0)));
    const std::uint32_t caret = setting.After("    count = ");
    std::size_t items = 0;
    for (auto _ : state) {
        const CompletionList list =
            Complete(setting.text, setting.check.tree, caret, setting.sources);
        items = list.items.size();
        benchmark::DoNotOptimize(items);
    }
    state.counters["items"] = static_cast<double>(items);
    state.counters["declarations"] = static_cast<double>(setting.check.tree.declarations.size());
}

// Inside Form.Field(" with nothing typed: the 1,900 field names.
void BM_CompletionFieldList(benchmark::State& state) {
    const Setting setting(static_cast<std::size_t>(state.range(0)));
    const std::uint32_t caret = setting.After("Form.Field(\"");
    for (auto _ : state) {
        const CompletionList list =
            Complete(setting.text, setting.check.tree, caret, setting.sources);
        benchmark::DoNotOptimize(list.items.size());
    }
}

// A prefix typed: the list filtered by it.
void BM_CompletionFiltered(benchmark::State& state) {
    Setting setting(static_cast<std::size_t>(state.range(0)));
    const std::uint32_t caret = setting.After("    count = Le");
    for (auto _ : state) {
        const CompletionList list =
            Complete(setting.text, setting.check.tree, caret, setting.sources);
        benchmark::DoNotOptimize(list.items.size());
    }
}

void BM_SignatureHelp(benchmark::State& state) {
    const Setting setting(static_cast<std::size_t>(state.range(0)));
    const std::uint32_t script = setting.After("Clamp(gTotal, ");  // the script's Function
    const std::uint32_t engine = setting.After("= Trim(");         // the engine's
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            SignatureAt(setting.text, setting.check.tree, script, &setting.reference));
        benchmark::DoNotOptimize(
            SignatureAt(setting.text, setting.check.tree, engine, &setting.reference));
    }
}

void BM_Hover(benchmark::State& state) {
    const Setting setting(static_cast<std::size_t>(state.range(0)));
    const std::uint32_t script = setting.After("Clamp(gT");  // a script variable
    const std::uint32_t engine = setting.After("= Tri");     // the engine's Trim
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            HoverAt(setting.text, setting.check.tree, script, &setting.reference));
        benchmark::DoNotOptimize(
            HoverAt(setting.text, setting.check.tree, engine, &setting.reference));
    }
}

BENCHMARK(BM_CompletionList)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompletionFieldList)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompletionFiltered)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SignatureHelp)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Hover)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
