#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli.h"
#include "commence/transfer.h"

namespace vk {
class Registry;
}

namespace vk::cli {

// A command line taken apart: the operands in order and the options seen.
struct Invocation {
    std::vector<std::string> operands;
    std::optional<std::string> output;  // -o FILE
    bool rtf = false;                   // --rtf
    bool read = false;                  // --read
    bool json = false;                  // --json
    bool quiet = false;                 // --quiet
    bool force = false;                 // --force
    bool dryRun = false;                // --dry-run
    bool colour = false;                // --colour
    bool noColour = false;              // --no-colour
    std::optional<std::int64_t> show;   // --show N
    // --diff N M
    std::optional<std::pair<std::int64_t, std::int64_t>> diff;
};

struct Streams {
    std::ostream& out;
    std::ostream& err;
    bool outIsTerminal = false;  // names printed to `out` go through ForTerminal
    bool errIsTerminal = false;  // and those in messages to `err`

    // A name for a listing on `out`.
    [[nodiscard]] std::string Shown(std::string_view name) const;
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

// Names the first of database, category and form (as many as given) that
// does not exist: throws EMissingDBItem (or EInvalidCategory, EDBNotReady).
void RequireKnown(Registry& registry, std::string_view database,
                  std::optional<std::string_view> category = std::nullopt,
                  std::optional<std::string_view> form = std::nullopt);

// A script file's bytes; refused before it is read whole when it is longer
// than Commence would take. Throws vk::Exception naming the file and why.
// With `regularOnly` (a file of a pulled folder, which the user did not name)
// anything but a regular file is refused too, without waiting on it.
[[nodiscard]] std::string ReadScriptOrThrow(const std::string& path, bool regularOnly = false);

// Names one a line, or with --json as one JSON array of strings (UTF-8).
void PrintNameList(Streams io, const std::vector<std::string>& names, bool json);

// The tag lines a check-in refreshes, as the editor's settings say.
[[nodiscard]] CheckInTags TagsFromSettings(Registry& registry);

}  // namespace vk::cli
