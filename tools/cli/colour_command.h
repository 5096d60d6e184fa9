#pragma once

#include <string>
#include <string_view>

#include "commands.h"
#include "highlight/color_stream.h"

namespace vk::cli {

// `colour [--rtf | --colour | --no-colour] FILE`: the script in the token
// class colours, as RTF or for a terminal.
ExitCode PrintColour(const Invocation& call, Streams io);

// `text` with each token wrapped in the ANSI escapes of its class's colour
// and style (24-bit colour; bold, italic, underline, strike-out), reset after
// it. A class in a system colour keeps the terminal's own colour. Blanks and
// line ends go out as they are.
[[nodiscard]] std::string AnsiColoured(std::string_view text, const ClassFonts& fonts);

inline constexpr std::string_view kColourHelp =
    "Prints FILE in the colours and styles of the editor's token classes (the\n"
    "current settings). On a terminal the colours are ANSI escapes; when\n"
    "standard output is not a terminal, or NO_COLOR is set, the script is\n"
    "printed unchanged.\n"
    "\n"
    "  --rtf        write the RTF document the editor loads for FILE instead\n"
    "  --colour     write ANSI colours even when not on a terminal\n"
    "  --no-colour  never write ANSI colours\n";

}  // namespace vk::cli
