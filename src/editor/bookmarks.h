#pragma once

#include <QObject>
#include <functional>

class QMenu;

namespace vk {

class MessageService;
class ScriptEditor;
class TLineRecolourer;
struct EditorKeyEvent;

// The ten bookmarks of a script, kept as tag comment lines in its text:
// toggling with Ctrl+Shift+digit, jumping with Ctrl+digit, "Set Bookmark"
// for the next free one, and the drop-down menu of all ten. Tag lines come
// out coloured; each command is one undo step.
class TBookmarks : public QObject {
    Q_OBJECT
public:
    using JumpToLine = std::function<void(int line)>;

    TBookmarks(ScriptEditor& editor, TLineRecolourer& recolourer, MessageService& messages,
               JumpToLine jump);

    // Sets bookmark n (modulo 10) above the caret's line, moves it there
    // from elsewhere, or removes it when it is on the caret's line.
    void ToggleBookmark(int n);
    // Jumps to bookmark n; nothing when it is not set.
    void GotoBookmark(int n);
    // Sets the first free bookmark of 1, ..., 9, 0 above the caret's line,
    // or says that all ten are taken.
    void SetNextBookmark();
    // Fills `menu` (pmBookmarks) with the ten bookmarks, as it opens.
    void FillMenu(QMenu& menu);

private:
    void OnKeyDown(EditorKeyEvent& key);
    void InsertTagLine(int n, int line);

    ScriptEditor& editor_;
    TLineRecolourer& recolourer_;
    MessageService& messages_;
    JumpToLine jump_;
    int heldKey_ = 0;  // the digit of a command whose key is still down
};

}  // namespace vk
