#pragma once

#include <QObject>
#include <QPointer>

class QLabel;

namespace vk {

class ScriptEditor;

// The caret read-out of the status line (`reScriptSelectionChange`): writes
// where the caret stands into `panel` after every caret or selection move,
// and after every edit, since an edit can change the character after a caret
// that stays put (Delete).
class TPositionReadout : public QObject {
    Q_OBJECT
public:
    TPositionReadout(ScriptEditor& editor, QLabel& panel, QObject* parent = nullptr);

    // Writes the read-out now.
    void Update();

private:
    ScriptEditor& editor_;
    QPointer<QLabel> panel_;
};

}  // namespace vk
