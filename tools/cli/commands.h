#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli.h"

namespace vk::cli {

// A command line taken apart: the operands in order and the options seen.
struct Invocation {
    std::vector<std::string> operands;
    std::optional<std::string> output;  // -o FILE
    bool rtf = false;                   // --rtf
    bool read = false;                  // --read
};

struct Streams {
    std::ostream& out;
    std::ostream& err;
};

// Each command's work. They throw the program's exceptions; Run maps them to
// exit codes.
ExitCode ListDatabases(const Invocation& call, Streams io);
ExitCode ListCategories(const Invocation& call, Streams io);
ExitCode ListForms(const Invocation& call, Streams io);
ExitCode CheckOut(const Invocation& call, Streams io);
ExitCode CheckIn(const Invocation& call, Streams io);
ExitCode PrintChecksum(const Invocation& call, Streams io);
ExitCode PrintColouredRtf(const Invocation& call, Streams io);

}  // namespace vk::cli
