#include <QKeyEvent>

#include "editor/script_editor.h"
#include "editor/virtual_keys.h"

namespace vk {

void ScriptEditor::TypeByte(char byte) {
    const char text[2] = {byte, '\0'};
    SendScintilla(SCI_REPLACESEL, static_cast<uintptr_t>(0), text);
}

void ScriptEditor::keyPressEvent(QKeyEvent* event) {
    const ChangeReport report(*this);
    const int virtualKey = VirtualKeyFromQt(event->key(), event->modifiers());
    const KeyModifiers modifiers = ModifiersOf(*event);
    if (virtualKey != 0) {
        EditorKeyEvent key{virtualKey, modifiers};
        emit keyDown(key);
        if (key.Swallowed()) {
            event->accept();
            return;
        }
    }
    if (const std::optional<char> typed = TypedChar(*event, virtualKey)) {
        EditorCharEvent typedEvent{*typed};
        emit keyPress(typedEvent);
        const char key = typedEvent.key;
        const auto byte = static_cast<unsigned char>(key);
        // QScintilla would type 0x80-0x9F as '?' (it converts as Latin-1),
        // and a replaced character is not the key's own.
        const bool typeHere = key != *typed ? byte >= 0x20 : (byte >= 0x80 && byte < 0xA0);
        if (key == 0 || typeHere) {
            if (typeHere) TypeByte(key);
            event->accept();
            ReportSelectionIfMoved();
            return;
        }
    }
    if (modifiers.ctrl && !modifiers.alt && !event->text().isEmpty()) {
        // Ctrl with a key types nothing on Windows (Ctrl+3 is a bookmark
        // command, not a '3'); QScintilla would type the key's text.
        QKeyEvent command(event->type(), event->key(), event->modifiers(), QString(),
                          event->isAutoRepeat(), static_cast<quint16>(event->count()));
        QsciScintilla::keyPressEvent(&command);
        event->setAccepted(command.isAccepted());
    } else {
        QsciScintilla::keyPressEvent(event);
    }
    ReportSelectionIfMoved();
}

void ScriptEditor::inputMethodEvent(QInputMethodEvent* event) {
    const ChangeReport report(*this);
    QsciScintilla::inputMethodEvent(event);
}

void ScriptEditor::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat()) {
        EditorKeyEvent key{VirtualKeyFromQt(event->key(), event->modifiers()), ModifiersOf(*event)};
        if (!key.Swallowed()) emit keyUp(key);
    }
    QsciScintilla::keyReleaseEvent(event);
}

}  // namespace vk
