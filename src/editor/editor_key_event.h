#pragma once

namespace vk {

// Shift, Ctrl and Alt as a key event carries them.
struct KeyModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// A key-down or key-up as the editor hands it to its listeners: the Windows
// virtual-key code (Return 13, Delete 46, F1 112, '1' 49) and the modifiers.
// A listener swallows the key by setting the code to 0; listeners after it
// see the 0 and leave the key alone, and the editor does nothing more with it.
struct EditorKeyEvent {
    int virtualKey = 0;
    KeyModifiers modifiers;

    void Swallow() { virtualKey = 0; }
    [[nodiscard]] bool Swallowed() const { return virtualKey == 0; }
};

// The character a key types (13 for Enter, 8 for Backspace, Windows-1252 byte
// for the rest). A listener sets `key` to 0 to discard it, or to another
// byte to type that one instead; listeners after it see the new value.
struct EditorCharEvent {
    char key = 0;
};

}  // namespace vk
