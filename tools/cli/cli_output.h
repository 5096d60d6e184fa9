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

// Writes `text` to `out` as lines, CR LF and lone CR ending a line.
void PrintMessage(std::ostream& out, std::string_view text);

}  // namespace vk::cli
