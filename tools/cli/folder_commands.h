#pragma once

#include <string_view>

#include "commands.h"

namespace vk::cli {

// A database's form scripts as a folder of files: `pull DB DIR` writes them
// with a manifest of what was pulled, `status DB DIR` compares the folder,
// the manifest and Commence, `push DB DIR` stores what changed here.
ExitCode Pull(const Invocation& call, Streams io);
ExitCode Status(const Invocation& call, Streams io);
ExitCode Push(const Invocation& call, Streams io);

inline constexpr std::string_view kPullHelp =
    "Checks every detail form script of database DB out into folder DIR, as\n"
    "DIR/CATEGORY/FORM.vbs, byte for byte, and records the checksum and size of\n"
    "each script pulled in DIR/.vellumkit-manifest.json. The manifest is rewritten\n"
    "(atomically) after each script, so a pull that stops half-way leaves a\n"
    "manifest that lists exactly the scripts written. Pulling again updates the\n"
    "folder; a file changed here since the last pull is kept as it is and\n"
    "reported (exit status 5) unless --force is given.\n"
    "\n"
    "  --force  overwrite files changed here\n"
    "  --quiet  no progress line on a terminal\n";

inline constexpr std::string_view kFileNamesHelp =
    "\n"
    "File names: a category or form name keeps its ASCII letters, digits,\n"
    "blanks and the marks - _ . , ( ) & + ' ! # $ @ = ; [ ] { }. Every other\n"
    "byte (path separators, < > : \" | ? * %, ~, control characters and bytes\n"
    "above 127) is written as %XX, two uppercase hexadecimal digits, and so are\n"
    "a leading or trailing blank or dot and the first letter of a name Windows\n"
    "reserves (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9, LPT0-9): \"A/B\" is\n"
    "A%2FB, \"..\" is %2E%2E, \"Con\" is %43on. Names of one folder that differ only\n"
    "in case get ~ and the case of their letters in hexadecimal (one bit per\n"
    "letter, upper case 1, four letters a digit, the first in its lowest bit):\n"
    "\"Notes\" and \"NOTES\" are Notes~1 and NOTES~f1. Each file name reads back to\n"
    "its one name.\n";

inline constexpr std::string_view kStatusHelp =
    "Compares folder DIR, pulled from database DB, with its manifest and with\n"
    "Commence, and prints one line per script:\n"
    "\n"
    "  STATE<TAB>CATEGORY<TAB>FORM\n"
    "\n"
    "STATE is one of: unchanged; changed here; changed in Commence; changed in\n"
    "both (a conflict); new here (a file the manifest does not list); gone from\n"
    "Commence (the form no longer exists); missing here (no file for a form).\n"
    "A script that is the same here and in Commence is unchanged, whatever the\n"
    "manifest recorded, and the manifest is brought up to it. Exit status 0\n"
    "when every script is unchanged, 6 otherwise.\n"
    "\n"
    "  --quiet  no progress line on a terminal\n";

inline constexpr std::string_view kPushHelp =
    "Checks into Commence every script of folder DIR changed here since it was\n"
    "pulled from database DB, with the tag lines the editor's settings ask for.\n"
    "A script whose copy in Commence changed since the pull (or a new file the\n"
    "manifest does not list) is refused as a conflict: nothing is stored for it\n"
    "and the exit status is 5. After a script is stored, its file and the\n"
    "manifest are brought up to what Commence now holds (tag lines included).\n"
    "A script that is the same here and in Commence counts as unchanged, and\n"
    "the manifest records it so. One line per script acted on:\n"
    "\n"
    "  stored|conflict|refused|would store<TAB>CATEGORY<TAB>FORM\n"
    "\n"
    "Commence's copy is compared with the pulled one again right before each\n"
    "store, and read back after it: a script that another check-in changed in\n"
    "between is reported as a conflict (exit status 5) and not recorded.\n"
    "\n"
    "  --force    store conflicting scripts too, over the copy in Commence\n"
    "  --dry-run  store nothing; list what would be stored and the conflicts\n"
    "  --quiet    no progress line on a terminal\n";

}  // namespace vk::cli
