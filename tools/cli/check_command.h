#pragma once

#include <string_view>

#include "commands.h"

namespace vk::cli {

// `check FILE... [--database DB --category CATEGORY] [--json] [--strict]`:
// the script checker's problems for script files and pulled folders. It
// reads its own options from `call.operands`, which hold every argument.
ExitCode CheckScripts(const Invocation& call, Streams io);

inline constexpr std::string_view kCheckHelp =
    "Checks script files as the script engine would compile them, and prints\n"
    "one line per problem, in the form editors and build logs make clickable:\n"
    "\n"
    "  FILE:LINE:COLUMN: error|warning: MESSAGE\n"
    "\n"
    "Errors are what the engine would refuse (\"Expected 'End If'\"), names\n"
    "Option Explicit does not allow, names declared twice, the script's own\n"
    "Subs and Functions called with the wrong number of arguments and New of a\n"
    "class the script does not define. Warnings are variables a procedure never\n"
    "uses and code after an Exit that never runs. A summary goes to standard\n"
    "error.\n"
    "\n"
    "With --database and --category, the field and connection names each line\n"
    "passes to the form object are checked against that category too, as Enter\n"
    "checks them in the editor (Commence is started for the database when it\n"
    "does not answer). A FILE that is a folder pulled with 'pull' has each of\n"
    "its scripts checked, with the database and category its manifest records;\n"
    "other .vbs files in it, and those of a folder without a manifest, are\n"
    "checked without names. To check a pulled folder's files without Commence,\n"
    "name them: check DIR/*/*.vbs.\n"
    "\n"
    "  --database DB        check names against database DB ...\n"
    "  --category CATEGORY  ... and its category CATEGORY (give both)\n"
    "  --json               one JSON array of the problems instead (UTF-8):\n"
    "                       file, line, column, length, severity, code, message\n"
    "  --strict             warnings fail the check too\n"
    "\n"
    "Exit status 7 when a script has an error (or, with --strict, a warning);\n"
    "before that 1 when a file could not be read, 3 when Commence did not\n"
    "answer and 4 when it has no such database or category, since the check\n"
    "is then incomplete.\n";

}  // namespace vk::cli
