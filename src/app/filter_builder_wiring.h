#pragma once

#include <string>

namespace vk {

class TEditingContext;
class TfFilterBuilder;
class TfMain;

// Makes the filter builder (kept for the life of the main window, which owns
// it) and hooks it to the Filter Builder action: without a database it
// refuses with "Please select a database first"; otherwise it opens on the
// current database and category and, when closed with "Insert", puts the
// command into the script in place of the selection as one undo step. Opened
// on a line holding a ViewFilter command, it starts from that command and
// "Insert" writes over it.
TfFilterBuilder& AttachFilterBuilder(TfMain& main, TEditingContext& context);

// What the action runs; throws ENoCurrentDatabase without a database.
void ShowFilterBuilder(TfMain& main, TfFilterBuilder& builder, const std::string& database,
                       const std::string& category);

}  // namespace vk
