#include "progress.h"

#include <unistd.h>

#include <ostream>

#include "cli_output.h"

namespace vk::cli {

namespace {
// Long names are cut so the line never wraps on a narrow terminal.
constexpr std::size_t kMaxLine = 72;
}  // namespace

Progress::Progress(std::ostream& err, std::string_view verb, bool quiet)
    : err_(err), verb_(verb), shown_(!quiet && isatty(STDERR_FILENO) == 1) {}

Progress::~Progress() { Clear(); }

void Progress::Step(std::size_t step, std::string_view what) {
    if (!shown_) return;
    std::string line = verb_ + ' ' + std::to_string(step) + '/' + std::to_string(total_) + ' ';
    // Only ever on a terminal: a name must not act on it.
    line += ForTerminal(what);
    if (line.size() > kMaxLine) line.resize(kMaxLine);
    err_ << "\r\x1b[K" << line << std::flush;
    drawn_ = true;
}

void Progress::Clear() {
    if (!drawn_) return;
    err_ << "\r\x1b[K" << std::flush;
    drawn_ = false;
}

}  // namespace vk::cli
