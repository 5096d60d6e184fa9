#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "commands.h"

namespace vk::cli {

// `history DB CATEGORY FORM`: the versions of a form's script kept in the
// local history; with --show N one of them, with --diff N M the differences
// between two.
ExitCode ShowHistory(const Invocation& call, Streams io);

// A version number as given on the command line: decimal digits alone, 1 or
// more. Nothing for anything else ("0", "-1", "2x", "").
[[nodiscard]] std::optional<std::int64_t> ParseVersionNumber(std::string_view text);

inline constexpr std::string_view kHistoryHelp =
    "Lists the versions of FORM's script kept in the local history, oldest\n"
    "first, one a line:\n"
    "\n"
    "  NUMBER<TAB>TIME<TAB>SIZE<TAB>CHECKSUM<TAB>SOURCE\n"
    "\n"
    "NUMBER is the version's number (1, 2, 3 ... for each form, never given\n"
    "twice); TIME when it was kept, in local time (YYYY-MM-DD HH:MM:SS); SIZE\n"
    "its length in bytes; CHECKSUM the CRC-32 of all its bytes; SOURCE one of\n"
    "checked in, loaded, merged.\n"
    "\n"
    "Every script stored into Commence (by the editor, checkin and push alike)\n"
    "is kept, and every script the editor opens that differs from the newest\n"
    "version kept, and what a merge in the editor made. Past 200 versions of a\n"
    "form, or 100 MB of scripts in all (the settings \"Versions per form\" and\n"
    "\"Megabytes in all\"), the oldest versions go first. The history is the\n"
    "file history.sqlite in $XDG_DATA_HOME/vellumkit (~/.local/share/vellumkit),\n"
    "on Windows in %LOCALAPPDATA%\\Vellumkit. Commence is not asked.\n"
    "\n"
    "  --show N    print version N's script, byte for byte\n"
    "  --diff N M  print the differences from version N to version M in unified\n"
    "              format (exit status 0 whether they differ or not)\n"
    "\n"
    "A version number the form does not have is a bad argument (exit status 2).\n";

}  // namespace vk::cli
