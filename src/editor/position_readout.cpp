#include "editor/position_readout.h"

#include <QLabel>
#include <QStatusBar>
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
    panel_->setText(FromAnsi(FormatCaretPlace(place)));
    // The status bar shows the new text at once, also while a long command runs.
    for (QWidget* w = panel_->parentWidget(); w; w = w->parentWidget())
        if (qobject_cast<QStatusBar*>(w)) {
            w->repaint();
            break;
        }
}

}  // namespace vk
