#include "app/validation_wiring.h"

#include <exception>
#include <utility>

#include "app/editing_context.h"
#include "app/main_window.h"
#include "commence/validation.h"
#include "editor/editor_key_event.h"
#include "editor/script_editor.h"
#include "settings/settings.h"

namespace vk {

TLineValidator::TLineValidator(ScriptEditor& editor, const TSettings& settings,
                               MessageService& messages, StatusSink& status,
                               std::function<ValidationPlace()> place)
    : editor_(editor),
      settings_(settings),
      messages_(messages),
      status_(status),
      place_(std::move(place)) {
    // Enter as the character it types, so the numeric keypad's Enter and
    // Ctrl+M are checked too.
    connect(&editor_, &ScriptEditor::keyPress, this,
            [this](EditorCharEvent& typed) { OnKeyPress(typed); });
    connect(&editor_, &ScriptEditor::keyDown, this, [this](EditorKeyEvent&) { OnKeyDown(); });
    // Another script: the message was about a line that is gone.
    connect(&editor_, &ScriptEditor::scriptLoaded, this, [this] {
        if (heldLine_ && holdStatus) holdStatus(false);
        heldLine_.reset();
    });
}

void TLineValidator::OnKeyDown() {
    if (!heldLine_) return;
    const int line = editor_.LineFromChar(editor_.SelStart());
    if (line == *heldLine_ || line == *heldLine_ + 1) return;
    heldLine_.reset();
    if (holdStatus) holdStatus(false);
}

void TLineValidator::OnKeyPress(EditorCharEvent& typed) {
    if (typed.key != '\r' || !settings_.validateObjects) return;
    const int line = editor_.LineFromChar(editor_.SelStart() + editor_.SelLength());
    const ValidationPlace place = place_();
    std::size_t offset = 0;
    try {
        offset = ValidateLine(place.database, place.category, editor_.Line(line), messages_);
    } catch (const std::exception& e) {
        status_.SetStatus(e.what(), 1);
        heldLine_ = line;
        if (holdStatus) holdStatus(true);
        return;
    }
    if (offset == 0) return;
    editor_.SetCaret(editor_.LineIndex(line) + static_cast<int>(offset));
    typed.key = 0;
}

std::unique_ptr<TLineValidator> AttachValidation(TfMain& main, const TEditingContext& context) {
    auto validator = std::make_unique<TLineValidator>(
        *main.reScript(), main.Settings(), main.Messages(), main, [&context] {
            return ValidationPlace{context.CurrentDatabase(), context.CurrentCategory()};
        });
    validator->holdStatus = [&main](bool held) {
        if (held)
            main.HoldStatus();
        else
            main.ReleaseStatus();
    };
    return validator;
}

}  // namespace vk
