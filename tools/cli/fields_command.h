#pragma once

#include <string_view>

#include "commands.h"

namespace vk::cli {

// `fields DB CATEGORY [--json]`: the category's fields with their kinds, then
// its connections with the connected category, in the filter builder's order.
ExitCode ListFields(const Invocation& call, Streams io);

// The name of a field kind code: "Text" for 0, "Selection" for 12, "Unknown"
// for a code no Commence field type maps to.
[[nodiscard]] std::string_view FieldKindName(int kind) noexcept;

inline constexpr std::string_view kFieldsHelp =
    "Lists the fields of CATEGORY in database DB, as the Filter Builder lists\n"
    "them (data file, image and Excel cell fields are left out), one a line:\n"
    "\n"
    "  field<TAB>NAME<TAB>KIND<TAB>CODE\n"
    "\n"
    "KIND is Text, Number, Date, Telephone, Checkbox, Name, Time, Calculation,\n"
    "Sequence, Selection, E-mail, URL, Multiple selection or Unknown; CODE the\n"
    "kind code the filter commands use. Then its connections:\n"
    "\n"
    "  connection<TAB>NAME<TAB>CATEGORY\n"
    "\n"
    "with the category the connection leads to. Commence is not started for it.\n"
    "\n"
    "  --json  one JSON object instead: {\"fields\": [{\"name\", \"kind\", \"code\"}],\n"
    "          \"connections\": [{\"name\", \"category\"}]}\n";

}  // namespace vk::cli
