#pragma once

namespace vk {

class TfMain;
class TLineRecolourer;

// The editing commands of the main window's editor, each a small object
// owned by the editor.
struct EditorCommands {
    TLineRecolourer* recolourer = nullptr;
};

// Attaches recolouring while typing to the main window's editor, with the
// colour stream's class fonts.
EditorCommands AttachEditorCommands(TfMain& main);

}  // namespace vk
