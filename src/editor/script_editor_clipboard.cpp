#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "editor/ansi_text.h"
#include "editor/script_editor.h"

namespace vk {

void ScriptEditor::paste() {
    const ChangeReport report(*this);
    // A paste that does not fit is refused before it replaces the selection.
    if (textLimit_ > 0) {
        bool rectangular = false;
        const QMimeData* data = QApplication::clipboard()->mimeData();
        if (data == nullptr) return;
        const QByteArray bytes = fromMimeData(data, rectangular);
        qsizetype added = bytes.size();
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const bool lone = (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) ||
                              (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'));
            added += lone ? 1 : 0;  // a lone CR or LF is pasted as CR LF
        }
        if (TextLength() - SelLength() + added > textLimit_) return;
    }
    QsciScintilla::paste();
    ReportSelectionIfMoved();
}

void ScriptEditor::cut() {
    const ChangeReport report(*this);
    QsciScintilla::cut();
    ReportSelectionIfMoved();
}

void ScriptEditor::dropEvent(QDropEvent* event) {
    const ChangeReport report(*this);
    QsciScintilla::dropEvent(event);
}

// The clipboard holds Unicode; the script holds Windows-1252 bytes.
QByteArray ScriptEditor::fromMimeData(const QMimeData* source, bool& rectangular) const {
    rectangular = false;
    const std::string bytes = ToAnsi(source->text());
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QMimeData* ScriptEditor::toMimeData(const QByteArray& text, bool rectangular) const {
    auto* data = QsciScintilla::toMimeData(text, rectangular);
    data->setText(
        FromAnsi(std::string_view(text.constData(), static_cast<std::size_t>(text.size()))));
    return data;
}

}  // namespace vk
