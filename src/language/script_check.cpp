#include "language/script_check.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "language/inspections.h"
#include "language/parser.h"

namespace vk::language {

std::size_t ScriptCheck::ErrorCount() const noexcept {
    return static_cast<std::size_t>(
        std::count_if(diagnostics.begin(), diagnostics.end(),
                      [](const Diagnostic& d) { return d.severity == Severity::Error; }));
}

const ScriptCheck& ScriptChecker::Check(std::string_view text) {
    problems_.Clear();
    result_.tree.Clear();

    // Binary data is refused whole: its bytes would make a problem of
    // every line.
    const void* nul = text.empty() ? nullptr : std::memchr(text.data(), '\0', text.size());
    if (nul != nullptr || text.size() >= std::numeric_limits<std::uint32_t>::max()) {
        const auto at =
            nul ? static_cast<std::uint32_t>(static_cast<const char*>(nul) - text.data()) : 0u;
        result_.lines = LineIndex::Of(text.substr(0, at + 1));
        problems_.Add(Severity::Error, DiagnosticCode::Refused, {at, nul ? 1u : 0u},
                      nul ? "Binary data (a NUL byte): not a script, not checked"
                          : "The text is too long to check");
    } else {
        ParseScript(text, result_.tree, problems_, result_.lines);
        Inspect(text, result_.tree, problems_);
    }

    std::vector<Diagnostic>& found = problems_.Items();
    std::stable_sort(found.begin(), found.end(), [](const Diagnostic& a, const Diagnostic& b) {
        return a.range.offset < b.range.offset;
    });
    for (Diagnostic& d : found) d.position = result_.lines.PositionOf(d.range.offset);
    result_.diagnostics.swap(found);
    return result_;
}

ScriptCheck CheckScript(std::string_view text) {
    ScriptChecker checker;
    (void)checker.Check(text);
    return std::move(checker.result_);
}

}  // namespace vk::language
