#include "editor/editor_script_lines.h"

#include <gtest/gtest.h>

namespace vk {
namespace {

// The editor keeps the contracts the tag refresh relies on, as the in-memory
// lines do.
TEST(EditorScriptLinesTest, BehavesLikeTheInMemoryLines) {
    const std::string_view texts[] = {"", "a", "a\r\n", "a\r\nb\r\n", "\r\n"};
    for (std::string_view text : texts) {
        ScriptEditor editor;
        editor.SetPlainText(text);
        EditorScriptLines lines(editor);
        MemoryScriptLines memory(text);
        for (ScriptLines* l :
             {static_cast<ScriptLines*>(&lines), static_cast<ScriptLines*>(&memory)}) {
            l->InsertLine(1, "tag");
            l->PutLine(l->LineCount(), "ignored");
            l->DeleteLine(l->LineCount());
        }
        EXPECT_EQ(lines.CanonicalText(), memory.CanonicalText()) << text;
        EXPECT_EQ(lines.LineCount(), memory.LineCount()) << text;
        const int end = static_cast<int>(lines.CanonicalText().size());
        EXPECT_EQ(lines.LineFromChar(end), memory.LineFromChar(end)) << text;
    }
}

TEST(EditorScriptLinesTest, RepaintSuspensionNests) {
    ScriptEditor editor;
    EditorScriptLines lines(editor);
    {
        RepaintSuspension outer(lines);
        { RepaintSuspension inner(lines); }
        EXPECT_TRUE(editor.RedrawFrozen());
    }
    EXPECT_FALSE(editor.RedrawFrozen());
}

}  // namespace
}  // namespace vk
