#pragma once

#include <cstddef>
#include <iosfwd>
#include <string_view>

#include "commands.h"

namespace vk::cli {

// `filter [--read]`: composes ViewFilter commands from JSON objects on
// standard input, one a line, or with --read reads commands back into JSON.
ExitCode ComposeFilters(const Invocation& call, Streams io);

// The longest input line taken, in bytes: far above any filter, far below
// what would strain the machine.
inline constexpr std::size_t kMaxFilterLineBytes = 1u << 20;

// The same over any input stream.
ExitCode ComposeFilters(std::istream& in, bool read, Streams io);

// The --help text of the command.
inline constexpr std::string_view kFilterHelp =
    "Reads one JSON object a line from standard input and prints, for each, the\n"
    "ViewFilter command the Filter Builder composes from it (an empty line when\n"
    "no field is given). Blank input lines are skipped. The keys are named after\n"
    "the builder's controls; a missing key takes the builder's initial value:\n"
    "\n"
    "  filterNumber     1-4 (1)          except         true/false (false)\n"
    "  quoteStyle       0 double, 1 single, 2 none (0)\n"
    "  field, filterBy  {\"text\": NAME, \"tag\": KIND} (absent); a connection's\n"
    "                   text is 'CONNECTION CATEGORY' with tag -(length of\n"
    "                   CONNECTION + 1); 16 (All Items), 17 (Shared vs. Local),\n"
    "                   -20 (Connection to item)\n"
    "  cbNameCompare    0-5, edNameMin, edNameMax, xbNameMatchCase\n"
    "  cbTextCompare    0-4, edTextMin, edTextMax, xbTextMatchCase\n"
    "  cbNumberCompare  0-4, edNumberMin, edNumberMax\n"
    "  cbDateCompare    0-4, edDateMin, edDateMax\n"
    "  cbTimeCompare    0-4, edTimeMin, edTimeMax\n"
    "  rgCheckBox       0 Checked, 1 Not Checked (0)\n"
    "  rbSelEquals      true/false (true), edSelection\n"
    "  rgShared         0 Shared, 1 Local (0)\n"
    "  edItemName       the item of a connection\n"
    "\n"
    "Comparison boxes take the index of their entry; value boxes take strings,\n"
    "check boxes true or false. JSON text is UTF-8; commands are Windows-1252,\n"
    "as scripts are.\n"
    "\n"
    "  --read  the reverse: one line holding a ViewFilter command in, in any\n"
    "          quote style, its JSON out (the keys of the page in use only).\n"
    "          A field's tag is a kind that has the command's comparison.\n"
    "\n"
    "A malformed line, one without a readable command, one longer than 1 MiB or\n"
    "nested deeper than 32 levels stops the run with a message naming the line,\n"
    "and exit status 2.\n";

}  // namespace vk::cli
