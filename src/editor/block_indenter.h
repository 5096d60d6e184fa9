#pragma once

#include <QObject>

namespace vk {

class ScriptEditor;
class TLineRecolourer;
class TSettings;

// Block indent and unindent of the editor's selected lines (acIndentBlock,
// acUnindentBlock), by "Indent style" and "Tab width" as they stand when the
// command runs. Each command is one undo step; the lines come out coloured,
// the selection grows or shrinks with the text, and the read-out and the
// "Modified" indicator are told once at the end.
class TBlockIndenter : public QObject {
    Q_OBJECT
public:
    TBlockIndenter(ScriptEditor& editor, TLineRecolourer& recolourer, const TSettings& settings);

    void IndentBlock();
    // Throws EUnindentFailed, with the text unchanged, when a line of the
    // block has less indentation than one level.
    void UnindentBlock();

private:
    template <typename Change>
    void ChangeBlock(Change change);

    ScriptEditor& editor_;
    TLineRecolourer& recolourer_;
    const TSettings& settings_;
};

}  // namespace vk
