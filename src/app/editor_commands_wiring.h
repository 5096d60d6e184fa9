#pragma once

namespace vk {

class TBlockIndenter;
class TBookmarks;
class TfMain;
class TLineNumberMargin;
class TLineRecolourer;

// The editing commands of the main window's editor, each a small object
// owned by the editor.
struct EditorCommands {
    TLineRecolourer* recolourer = nullptr;
    TBlockIndenter* indenter = nullptr;
    TBookmarks* bookmarks = nullptr;
    TLineNumberMargin* lineNumbers = nullptr;
};

// Attaches the editing commands to the main window's editor and actions:
// recolouring while typing (with the colour stream's class fonts), block
// indent and unindent (acIndentBlock, acUnindentBlock), and the bookmarks
// (Ctrl+digit, Ctrl+Shift+digit, acSetNextBookmark and its menu pmBookmarks),
// the line-number margin, switched by its setting after each run of the
// configuration dialog, and "Keep indentation on Enter".
EditorCommands AttachEditorCommands(TfMain& main);

}  // namespace vk
