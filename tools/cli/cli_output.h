#pragma once

#include <iosfwd>
#include <string_view>

#include "common/messages.h"
#include "common/status_sink.h"

namespace vk::cli {

// Prints what the editor would show in its status line to `err`, one line
// per non-empty text, and remembers whether a link failure was reported.
class StreamStatus final : public StatusSink {
public:
    explicit StreamStatus(std::ostream& err) : err_(err) {}
    void SetStatus(std::string_view text, int level) override;
    [[nodiscard]] bool LinkFailureShown() const { return linkFailure_; }

private:
    std::ostream& err_;
    bool linkFailure_ = false;
};

// Prints what the editor would show in a message box to `err` (CR line breaks
// become new lines) and remembers whether an error box was among them.
// Questions are never asked by the tool; they would be answered No.
class StreamMessages final : public MessageService {
public:
    explicit StreamMessages(std::ostream& err) : err_(err) {}
    MessageAnswer Show(std::string_view text, MessageIcon icon, MessageButtons buttons,
                       std::string_view title) override;
    bool Input(std::string_view, std::string_view, std::string&) override { return false; }
    [[nodiscard]] bool ErrorShown() const { return errorShown_; }

private:
    std::ostream& err_;
    bool errorShown_ = false;
};

// Writes `text` to `out` as lines, CR LF and lone CR ending a line.
void PrintMessage(std::ostream& out, std::string_view text);

}  // namespace vk::cli
