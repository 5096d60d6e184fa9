#pragma once

#include <Qsci/qsciscintilla.h>

namespace vk {

// The script editor: one QScintilla view in CR LF end-of-line mode and
// single-byte mode, so that a line end counts two positions and every byte of
// a script is one position and survives unchanged.
class ScriptEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit ScriptEditor(QWidget* parent = nullptr);
};

}  // namespace vk
