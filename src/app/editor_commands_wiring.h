#pragma once

namespace vk {

class TBlockIndenter;
class TfMain;
class TLineRecolourer;

// The editing commands of the main window's editor, each a small object
// owned by the editor.
struct EditorCommands {
    TLineRecolourer* recolourer = nullptr;
    TBlockIndenter* indenter = nullptr;
};

// Attaches the editing commands to the main window's editor and actions:
// recolouring while typing (with the colour stream's class fonts) and block
// indent and unindent (acIndentBlock, acUnindentBlock).
EditorCommands AttachEditorCommands(TfMain& main);

}  // namespace vk
