#include "document/script_lines.h"

#include "editor/line_model.h"

#include <gtest/gtest.h>

namespace vk {
namespace {

TEST(ScriptTextTest, SplitsWhereTheEditorEndsLines) {
    const struct {
        const char* name;
        std::string_view text;
        std::vector<std::string> lines;
    } cases[] = {
        {"empty text has no lines", "", {}},
        {"one line without end", "x = 1", {"x = 1"}},
        {"final line end starts nothing", "a\r\nb\r\n", {"a", "b"}},
        {"blank line only", "\r\n", {""}},
        {"trailing blank line kept", "a\r\n\r\n", {"a", ""}},
        // Regression: a file with LF line ends was once read as one long
        // line, so its checksum differed from the editor's for the same text.
        {"lone CR and LF end lines too", "a\rb\nc", {"a", "b", "c"}},
        {"LF only, with a last line end", "a\n\nb\n", {"a", "", "b"}},
        {"CR before CR LF", "a\r\r\nb", {"a", "", "b"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitScriptText(c.text), c.lines) << c.name;
        EXPECT_EQ(JoinScriptLines(SplitScriptText(c.text)), CanonicalText(c.text))
            << c.name << ": the editor's lines";
        EXPECT_EQ(JoinScriptLines(SplitScriptText(JoinScriptLines(c.lines))),
                  JoinScriptLines(c.lines))
            << c.name;
    }
    EXPECT_EQ(JoinScriptLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(JoinScriptLines({}), "");
}

TEST(MemoryScriptLinesTest, InsertsOnlyUpToTheEnd) {
    MemoryScriptLines empty("");
    empty.InsertLine(1, "tag");
    EXPECT_EQ(empty.LineCount(), 0) << "an empty editor takes no line at index 1";
    EXPECT_EQ(empty.CanonicalText(), "");

    MemoryScriptLines one("x");
    one.InsertLine(1, "tag");
    one.InsertLine(5, "lost");
    EXPECT_EQ(one.lines(), (std::vector<std::string>{"x", "tag"}));

    one.PutLine(7, "nothing");
    one.DeleteLine(-1);
    one.DeleteLine(2);
    EXPECT_EQ(one.Line(9), "");
    EXPECT_EQ(one.CanonicalText(), "x\r\ntag\r\n");
}

TEST(MemoryScriptLinesTest, CaretAndViewStayInsideTheText) {
    MemoryScriptLines lines("ab\r\ncde\r\nf");  // lines start at 0, 4, 9; length 12
    EXPECT_EQ(lines.LineFromChar(0), 0);
    EXPECT_EQ(lines.LineFromChar(3), 0);  // the LF of line 0
    EXPECT_EQ(lines.LineFromChar(4), 1);
    EXPECT_EQ(lines.LineFromChar(9), 2);
    EXPECT_EQ(lines.LineFromChar(99), 2);
    lines.SetCaret(99);
    EXPECT_EQ(lines.CaretOffset(), 12);
    lines.SetCaret(-4);
    EXPECT_EQ(lines.CaretOffset(), 0);
    lines.ScrollLines(10);
    EXPECT_EQ(lines.FirstVisibleLine(), 2);
    lines.ScrollLines(-1);
    EXPECT_EQ(lines.FirstVisibleLine(), 1);
}

}  // namespace
}  // namespace vk
