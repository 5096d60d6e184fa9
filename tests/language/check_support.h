#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "language/script_check.h"

namespace vk::test {

// A check's problems as "LINE:COLUMN: error|warning: MESSAGE", in text order,
// so that a failing test shows them as a user would read them.
inline std::vector<std::string> Problems(std::string_view text) {
    const language::ScriptCheck check = language::CheckScript(text);
    std::vector<std::string> lines;
    for (const language::Diagnostic& d : check.diagnostics)
        lines.push_back(std::to_string(d.position.line) + ":" + std::to_string(d.position.column) +
                        ": " + std::string(language::SeverityName(d.severity)) + ": " + d.message);
    return lines;
}

// Only the errors, in the same form.
inline std::vector<std::string> Errors(std::string_view text) {
    std::vector<std::string> errors;
    for (std::string& line : Problems(text))
        if (line.find(": error: ") != std::string::npos) errors.push_back(std::move(line));
    return errors;
}

// Joins lines with CR LF, as Commence keeps a script.
inline std::string Script(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (const std::string_view line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace vk::test
