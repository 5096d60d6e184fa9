#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vk {

// A script as the editor holds it: a list of lines without line-break
// characters. The canonical text is every line followed by CR LF, the last one
// included; a text without lines (an empty editor) has the empty canonical
// text. Offsets count bytes from 0 with a line end counting two.
//
// Contracts every implementation keeps (the tag refresh relies on them):
// - An index outside 0..LineCount()-1 reads as the empty line; putting or
//   deleting such a line does nothing.
// - InsertLine at LineCount() appends; at a larger index it does nothing. So
//   an empty editor takes no line at index 1.
// - Line texts hold no CR or LF.
class ScriptLines {
public:
    virtual ~ScriptLines() = default;

    [[nodiscard]] virtual int LineCount() const = 0;
    [[nodiscard]] virtual std::string Line(int index) const = 0;
    virtual void PutLine(int index, std::string_view text) = 0;
    virtual void InsertLine(int index, std::string_view text) = 0;
    virtual void DeleteLine(int index) = 0;

    [[nodiscard]] virtual std::string CanonicalText() const = 0;

    // The caret as the offset of an empty selection.
    [[nodiscard]] virtual int CaretOffset() const = 0;
    // Places an empty selection at `offset`, clamped to the text.
    virtual void SetCaret(int offset) = 0;
    // The line that holds the character at `offset` (the last line for an
    // offset at or past the end).
    [[nodiscard]] virtual int LineFromChar(int offset) const = 0;

    [[nodiscard]] virtual int FirstVisibleLine() const = 0;
    // Scrolls the view by `lines` (negative: up).
    virtual void ScrollLines(int lines) = 0;

    // A batch of changes runs between these two so that the editor neither
    // flickers nor scrolls; RepaintSuspension pairs them.
    virtual void SuspendRepaint() = 0;
    virtual void ResumeRepaint() = 0;
};

// Suspends repaint for its lifetime, also when the batch ends by an exception.
class RepaintSuspension {
public:
    explicit RepaintSuspension(ScriptLines& lines) : lines_(lines) { lines_.SuspendRepaint(); }
    ~RepaintSuspension() { lines_.ResumeRepaint(); }
    RepaintSuspension(const RepaintSuspension&) = delete;
    RepaintSuspension& operator=(const RepaintSuspension&) = delete;

private:
    ScriptLines& lines_;
};

// Cuts a script text into lines as the editor does (common/line_ends.h): at
// CR LF, a lone CR or a lone LF; a final line end does not start a further
// line. "a\r\nb", "a\nb\n" and "a\rb" all give {"a", "b"}; "" gives {};
// "\r\n" gives {""}.
[[nodiscard]] std::vector<std::string> SplitScriptText(std::string_view text);

// Every line followed by CR LF.
[[nodiscard]] std::string JoinScriptLines(const std::vector<std::string>& lines);

// The plain in-memory script used where there is no editor window (the
// command-line tool, tests). Its view shows every line; scrolling only moves
// the first visible line within the script.
class MemoryScriptLines final : public ScriptLines {
public:
    MemoryScriptLines() = default;
    explicit MemoryScriptLines(std::string_view text) : lines_(SplitScriptText(text)) {}
    explicit MemoryScriptLines(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    int LineCount() const override { return static_cast<int>(lines_.size()); }
    std::string Line(int index) const override;
    void PutLine(int index, std::string_view text) override;
    void InsertLine(int index, std::string_view text) override;
    void DeleteLine(int index) override;
    std::string CanonicalText() const override { return JoinScriptLines(lines_); }

    int CaretOffset() const override { return caret_; }
    void SetCaret(int offset) override;
    int LineFromChar(int offset) const override;
    int FirstVisibleLine() const override { return firstVisible_; }
    void ScrollLines(int lines) override;
    void SuspendRepaint() override { ++suspended_; }
    void ResumeRepaint() override { --suspended_; }

    const std::vector<std::string>& lines() const { return lines_; }
    [[nodiscard]] bool RepaintSuspended() const { return suspended_ > 0; }

private:
    [[nodiscard]] bool Holds(int index) const { return index >= 0 && index < LineCount(); }

    std::vector<std::string> lines_;
    int caret_ = 0;
    int firstVisible_ = 0;
    int suspended_ = 0;
};

}  // namespace vk
