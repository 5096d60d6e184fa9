#pragma once

#include <optional>
#include <string>

#include "document/tag_refresh.h"

namespace vk {

class Registry;
class ScriptLines;
class StatusSink;

// Who saves which form where, as the saved and category tags record it.
struct ScriptSaveContext {
    std::string database;
    std::string category;
    std::string form;
    std::string computerName;
    std::string userName;  // the login name, used when Commence knows none
    TagSettings settings;
};

// Refreshes the tag lines of `lines` when a conversation with Commence for the
// database opens (starting Commence if needed) and writes the canonical text
// to a new temporary file ("VBS" prefix), whose full path it returns; the
// caller deletes the file. Status: "Writing script to file" (level 0), then
// the ready text (level 1). A "[GetLastError]" reply that is not a number
// throws EConvertError and no file is written; a file that cannot be written
// throws vk::Exception and is removed.
[[nodiscard]] std::string EditorToFile(ScriptLines& lines, Registry& registry,
                                       const ScriptSaveContext& context, StatusSink& status);

// A fresh saved tag line for the context, asked of Commence on a conversation
// of its own; nothing when that conversation does not open.
[[nodiscard]] std::optional<std::string> FreshSavedTag(Registry& registry,
                                                       const ScriptSaveContext& context);

}  // namespace vk
