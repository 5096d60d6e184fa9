#pragma once

#include <string>

#include "commence/form_location.h"
#include "commence/transfer.h"

namespace vk {

// Told by the editing context what becomes of the script in the editor, so
// that what Commence held when it was opened (its base), its local history
// and its recovery file follow it.
class ScriptWatch {
public:
    virtual ~ScriptWatch() = default;

    // Commence gave `script` for `form`, and the editor now shows it.
    virtual void ScriptOpened(const FormLocation& form, const std::string& script) = 0;
    // Before the editor's script is checked in: false stores nothing, and
    // the editor keeps its text, still modified. May change the editor's
    // text (a merge). True may set `guard`, so that the store happens only
    // while Commence still holds what was looked at here.
    virtual bool MayCheckIn(const FormLocation& form, CheckInGuard& guard) = 0;
    // Commence stored `script`, which the editor now shows unmodified.
    virtual void ScriptStored(const FormLocation& form, const std::string& script) = 0;
    // The editor was emptied: no script is open.
    virtual void ScriptClosed() = 0;
};

}  // namespace vk
