#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vk {

class MessageService;
class ScriptEditor;
class StatusSink;
class TEditingContext;
class TfMain;
class TSettings;
struct EditorCharEvent;

// Where the names of a script line are looked up: the current database and
// category, read at each Enter.
struct ValidationPlace {
    std::string database;
    std::string category;
};

// Checks the line at the end of the selection when Enter is typed and
// "Validate objects" is on, asking Commence afresh each time. A wrong name
// is shown in the error box, the caret goes to it and the line break is not
// typed; a check that cannot reach Commence says so in the status line and
// lets the line break through. While the setting is off Enter goes straight
// through, with no Commence call.
//
// A check that could not run is said in the status line and that message is
// held (holdStatus(true)) while the user types on the checked line or the
// line the Enter opened, so the idle rescan does not wipe it at once; a key
// pressed on any other line lets it go (holdStatus(false)).
class TLineValidator : public QObject {
    Q_OBJECT
public:
    TLineValidator(ScriptEditor& editor, const TSettings& settings, MessageService& messages,
                   StatusSink& status, std::function<ValidationPlace()> place);

    std::function<void(bool held)> holdStatus;

private:
    void OnKeyPress(EditorCharEvent& typed);
    void OnKeyDown();

    ScriptEditor& editor_;
    const TSettings& settings_;
    MessageService& messages_;
    StatusSink& status_;
    std::function<ValidationPlace()> place_;
    // The line of the check whose failure is held; nothing when none is.
    std::optional<int> heldLine_;
};

// Makes the line check over the main window's editor, error box and status
// line, looking names up in the editing context's database and category.
[[nodiscard]] std::unique_ptr<TLineValidator> AttachValidation(TfMain& main,
                                                               const TEditingContext& context);

}  // namespace vk
