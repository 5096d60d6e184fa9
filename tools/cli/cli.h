#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vk::cli {

// What the tool's exit status means; listed in every --help.
enum class ExitCode : int {
    Success = 0,
    Failure = 1,       // a file could not be read or written, a bad reply, ...
    BadArguments = 2,  // unknown command, wrong operands or options
    Unreachable = 3,   // Commence did not answer for the database
    Refused = 4,       // Commence refused the check-in, or no such database, category or form
    Conflict = 5,      // a script changed both here and in Commence; nothing stored for it
    Differences = 6,   // status found scripts that are not unchanged
    Errors = 7,        // check found errors in a script
};

// Which of the two streams is a terminal, where names are shown escaped.
struct Terminals {
    bool out = false;
    bool err = false;
};

// Runs one command line (without the program name). Data goes to `out`,
// messages to `err`.
[[nodiscard]] ExitCode Run(const std::vector<std::string>& args, std::ostream& out,
                           std::ostream& err, Terminals terminals = {});

}  // namespace vk::cli
