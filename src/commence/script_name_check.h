#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "language/diagnostic.h"

namespace vk {

// The field and connection names a whole script passes to the form object,
// checked line by line against `category` of `database` in a running
// Commence, as Enter checks one line in the editor (ValidateLine): lines
// that name nothing are not sent. Each wrong name gives an error with the
// text of the editor's error box, at the name, with its line and column
// (lines end at CR LF, LF or a lone CR). Only the first wrong name of a line
// is found, as on Enter.
//
// Commence is not started for it. Throws EDDEFailed when it does not answer.
[[nodiscard]] std::vector<language::Diagnostic> CheckScriptNames(std::string_view database,
                                                                 std::string_view category,
                                                                 std::string_view text);

// CheckScriptNames for a script checked again and again as it is edited:
// each line's answer is kept, so that a check after a keystroke sends only
// the lines that changed. Forget() drops the answers, for a check that must
// see a change made in Commence (when the script is opened or saved).
class ScriptNameChecker {
public:
    ScriptNameChecker(std::string database, std::string category)
        : database_(std::move(database)), category_(std::move(category)) {}

    // As CheckScriptNames; throws EDDEFailed when Commence does not answer
    // for a line not asked before.
    [[nodiscard]] std::vector<language::Diagnostic> Check(std::string_view text);
    void Forget() { answers_.clear(); }

    [[nodiscard]] const std::string& Database() const noexcept { return database_; }
    [[nodiscard]] const std::string& Category() const noexcept { return category_; }

private:
    // A line's first wrong name: its offset in the line and the message.
    struct Answer {
        std::size_t offset = 0;
        std::string message;
    };
    [[nodiscard]] std::optional<Answer> CheckLine(std::string_view line);

    std::string database_;
    std::string category_;
    std::map<std::string, std::optional<Answer>, std::less<>> answers_;
};

}  // namespace vk
