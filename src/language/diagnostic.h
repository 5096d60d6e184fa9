#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "language/line_index.h"
#include "language/text_range.h"

namespace vk::language {

enum class Severity : std::uint8_t { Error, Warning };

[[nodiscard]] constexpr std::string_view SeverityName(Severity severity) noexcept {
    return severity == Severity::Error ? "error" : "warning";
}

// What a problem is about, so that a view can group, filter or switch off a
// kind without reading messages.
enum class DiagnosticCode : std::uint8_t {
    Syntax,              // the script engine would not compile the script
    Refused,             // the text is not checked (binary data, too many problems)
    UndefinedVariable,   // a name used under Option Explicit that nothing declares
    NameRedefined,       // a name declared twice in one scope
    UnusedVariable,      // a procedure's variable that nothing uses
    WrongArgumentCount,  // a call of the script's own Sub or Function
    UnreachableCode,     // statements after an Exit in the same block
    ClassNotDefined,     // New of a class the script does not define
    UnknownName,         // a field or connection the database does not have
};

// The code's name in machine-readable output: "syntax", "undefined-variable", ...
[[nodiscard]] std::string_view DiagnosticCodeName(DiagnosticCode code) noexcept;

// One problem found in a script. A range of length 0 marks a point between
// two characters, where a missing word belongs ("Expected 'Then'" at the end
// of the line).
struct Diagnostic {
    Severity severity = Severity::Error;
    DiagnosticCode code = DiagnosticCode::Syntax;
    TextRange range;
    LinePosition position;  // of range.offset
    std::string message;

    bool operator==(const Diagnostic&) const = default;
};

}  // namespace vk::language
