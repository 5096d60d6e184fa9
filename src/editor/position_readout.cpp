#include "editor/position_readout.h"

#include <QLabel>
#include <string>

#include "editor/ansi_text.h"
#include "editor/position_text.h"
#include "editor/script_editor.h"

namespace vk {

TPositionReadout::TPositionReadout(ScriptEditor& editor, QLabel& panel, QObject* parent)
    : QObject(parent), editor_(editor), panel_(&panel) {
    setObjectName(QStringLiteral("positionReadout"));
    connect(&editor, &ScriptEditor::scriptSelectionChanged, this, &TPositionReadout::Update);
    connect(&editor, &ScriptEditor::scriptChanged, this, &TPositionReadout::Update);
}

void TPositionReadout::Update() {
    if (!panel_) return;
    CaretPlace place;
    place.pos = editor_.SelStart() + editor_.SelLength();
    place.textLength = editor_.TextLength();
    place.row = editor_.LineFromChar(place.pos);
    place.lineStart = editor_.LineIndex(place.row);
    const std::string line = editor_.Line(place.row);
    place.line = line;
    place.next = editor_.CharAt(place.pos);
    // setText schedules the repaint. Never repaint here at once: the editor
    // reports a caret move from inside its own painting, and a nested paint
    // of another widget breaks the painter it is using.
    panel_->setText(FromAnsi(FormatCaretPlace(place)));
}

}  // namespace vk
