#pragma once

#include <Qt>
#include <optional>

#include "editor/editor_key_event.h"

class QKeyEvent;

namespace vk {

// Windows virtual-key code of a Qt key, as the program's key handlers expect
// it (Return 13, Delete 46, F1 112, '1' 49, ...); 0 for a key Windows has no
// code for. Qt reports shifted symbols as their own keys (Shift+1 is '!'),
// so those map to the key that carries them on a US keyboard, which keeps
// Ctrl+Shift+digit a digit key. Keypad digits and operators (with
// Qt::KeypadModifier) give the numeric-pad codes 96-111.
[[nodiscard]] int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers = {});

[[nodiscard]] KeyModifiers ModifiersOf(const QKeyEvent& event);

// The character a key types, as Windows would hand it to a key-press event:
// control characters as they are (Enter 13, Backspace 8, Ctrl+A 1), others
// as their Windows-1252 byte. Delete and Ctrl+digit type nothing.
[[nodiscard]] std::optional<char> TypedChar(const QKeyEvent& event, int virtualKey);

}  // namespace vk
