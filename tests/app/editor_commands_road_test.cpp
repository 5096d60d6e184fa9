#include <gtest/gtest.h>

#include <QApplication>

#include "app/editor_commands_wiring.h"
#include "editor/recolouring.h"
#include "highlight/class_looks.h"
#include "road_fixture.h"

namespace vk::test {
namespace {

class EditorCommandsRoadTest : public RoadTest {
protected:
    EditorCommandsRoadTest() {
        if (auto colors = registry.OpenKey(Hive::CurrentUser,
                                           std::string(kProgramKey) + "\\Color Settings", true))
            colors->WriteBinary("Comment", {0x00, 0x80, 0x00, 0x00, 0x02});  // green, italic
    }

    // Characters of a line whose colour or style is not their class's.
    int WrongOnLine(int line) {
        const ClassLooks looks = ClassLooksAsLoaded(Window().ColorStream().Fonts());
        const std::string text = Editor().Line(line);
        const std::vector<TokenClass> classes = ClassesOf(text);
        int wrong = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const RangeFormatReport f =
                Editor().RangeFormat(Editor().LineIndex(line) + static_cast<int>(i), 1);
            if (ClassLook{f.color, f.bold, f.italic} != looks[IndexOf(classes[i])]) ++wrong;
        }
        return wrong;
    }
};

// A checked-out script: a typed comment turns green, and the tag lines a
// check-in writes into the editor come out coloured like the rest.
TEST_F(EditorCommandsRoadTest, TypedCommentsAndTagLinesAreColoured) {
    Settings().applyTimeTag = true;
    Settings().applyIdTag = true;
    Settings().applyChecksumTag = true;
    AttachEditorCommands(Window());
    OpenForm("Demo Sales", "Account", "Account");
    ASSERT_TRUE(Editor().isEnabled());

    TypeAtLine(2, QStringLiteral("' typed note"));
    EXPECT_EQ(Editor().Line(2).substr(0, 12), "' typed note");
    EXPECT_EQ(WrongOnLine(2), 0);
    EXPECT_TRUE(Editor().RangeFormat(Editor().LineIndex(2), 12).italic);

    Window().Actions().acUpdate->trigger();
    ASSERT_TRUE(messages.messages.empty()) << messages.Texts().front();
    ASSERT_EQ(Editor().Line(2), "'#Category Account, Account");
    QApplication::processEvents();
    for (int line = 0; line < 5; ++line) EXPECT_EQ(WrongOnLine(line), 0) << Editor().Line(line);
}

}  // namespace
}  // namespace vk::test
