#pragma once

#include <iosfwd>
#include <string_view>

#include "common/status_sink.h"

namespace vk::cli {

// Prints what the editor would show in its status line to `err`, one line
// per non-empty text.
class StreamStatus final : public StatusSink {
public:
    explicit StreamStatus(std::ostream& err) : err_(err) {}
    void SetStatus(std::string_view text, int level) override;

private:
    std::ostream& err_;
};

// Writes `text` to `out` as lines, CR LF and lone CR ending a line. With
// `terminal`, every other control character is shown as ForTerminal does.
void PrintMessage(std::ostream& out, std::string_view text, bool terminal = false);

// A name as a terminal should show it: TAB, CR and LF as \t, \r and \n,
// every other control character (ESC, the rest below 0x20, DEL) as \xHH, so
// that a name from Commence can neither send the terminal a command nor
// break one line of a listing into two. Names printed anywhere else (a
// pipe, a file, --json) stay byte for byte.
[[nodiscard]] std::string ForTerminal(std::string_view text);

}  // namespace vk::cli
