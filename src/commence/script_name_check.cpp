#include "commence/script_name_check.h"

#include <optional>
#include <string>
#include <utility>

#include "commence/validation.h"
#include "common/messages.h"
#include "common/text_helpers.h"

namespace vk {
namespace {

// Keeps the error box's text instead of showing it.
class KeptMessage final : public MessageService {
public:
    MessageAnswer Show(std::string_view text, MessageIcon, MessageButtons,
                       std::string_view) override {
        text_ = std::string(text);
        return MessageAnswer::Ok;
    }
    bool Input(std::string_view, std::string_view, std::string&) override { return false; }

    // Without the full stop the error box adds: problems read like the
    // engine's, which have none.
    [[nodiscard]] std::optional<std::string> Take() {
        std::optional<std::string> text = std::move(text_);
        text_.reset();
        if (text && !text->empty() && text->back() == '.') text->pop_back();
        return text;
    }

private:
    std::optional<std::string> text_;
};

constexpr std::size_t kMaxKeptAnswers = 100000;

bool NamesSomething(std::string_view line) {
    const std::string_view code = StripComment(line);
    return !ScanFieldCalls(code).empty() || !ScanConnectionCalls(code).connections.empty();
}

}  // namespace

std::vector<language::Diagnostic> CheckScriptNames(std::string_view database,
                                                   std::string_view category,
                                                   std::string_view text) {
    ScriptNameChecker checker{std::string(database), std::string(category)};
    return checker.Check(text);
}

std::optional<ScriptNameChecker::Answer> ScriptNameChecker::CheckLine(std::string_view line) {
    if (const auto known = answers_.find(line); known != answers_.end()) return known->second;
    KeptMessage messages;
    std::optional<Answer> answer;
    const std::size_t offset = ValidateLine(database_, category_, line, messages);
    if (std::optional<std::string> message = messages.Take())
        answer = Answer{offset, std::move(*message)};
    // A script has a bounded number of distinct lines, but an editing
    // session makes ever new ones: keep the memory in bounds.
    if (answers_.size() >= kMaxKeptAnswers) answers_.clear();
    answers_.emplace(std::string(line), answer);
    return answer;
}

std::vector<language::Diagnostic> ScriptNameChecker::Check(std::string_view text) {
    std::vector<language::Diagnostic> found;
    std::uint32_t lineNumber = 1;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        const std::string_view line = text.substr(start, end - start);
        if (NamesSomething(line)) {
            if (std::optional<Answer> answer = CheckLine(line)) {
                const std::size_t offset = answer->offset;
                // The name runs to its closing quote.
                const std::size_t close = line.find('"', offset);
                const std::size_t length = close == std::string_view::npos ? 0 : close - offset;
                found.push_back({language::Severity::Error,
                                 language::DiagnosticCode::UnknownName,
                                 {static_cast<std::uint32_t>(start + offset),
                                  static_cast<std::uint32_t>(length)},
                                 {lineNumber, static_cast<std::uint32_t>(offset + 1)},
                                 answer->message});
                // A category that does not exist fails every line alike.
                if (offset == 0) break;
            }
        }
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n')
            ++end;
        start = end + 1;
        ++lineNumber;
    }
    return found;
}

}  // namespace vk
