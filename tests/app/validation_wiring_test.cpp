// The line check at Enter in the running window, against the real server.
#include "app/validation_wiring.h"

#include "road_fixture.h"

namespace vk::test {
namespace {

class LineCheckTest : public RoadTest {
protected:
    // The Account script open, the check attached as the program attaches it.
    void SetUp() override {
        Settings().validateObjects = true;
        OpenForm("Demo Sales", "Account", "Account");
        ASSERT_EQ(Context().CurrentCategory(), "Account");
        validator_ = AttachValidation(Window(), Context());
        lines_ = Editor().LineCount();
    }

    // Types a new line's text in front of line 2 and presses Enter at its end.
    void TypeAndEnter(const char* text) {
        TypeAtLine(2, QString::fromLatin1(text));
        QTest::keyClick(&Editor(), Qt::Key_Return);
    }

    int lines_ = 0;

private:
    std::unique_ptr<TLineValidator> validator_;
};

TEST_F(LineCheckTest, WrongFieldSwallowsEnterAndPutsTheCaretOnTheName) {
    TypeAndEnter("x = Field(\"Regoin\")");
    EXPECT_EQ(Editor().LineCount(), lines_) << "no line break may be typed";
    EXPECT_EQ(Editor().Line(2).substr(0, 19), "x = Field(\"Regoin\")");
    EXPECT_EQ(Editor().CaretPos(), Editor().LineIndex(2) + 11);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{
                                    "The field 'Regoin' does not exist in the category 'Account'"});

    // Mended, the same Enter goes through.
    Editor().SetSel(Editor().LineIndex(2) + 11, 6);
    QTest::keyClicks(&Editor(), "Region");
    Editor().SetCaret(Editor().LineIndex(2) + 19);
    QTest::keyClick(&Editor(), Qt::Key_Return);
    EXPECT_EQ(Editor().LineCount(), lines_ + 1);
    EXPECT_EQ(Editor().Line(2), "x = Field(\"Region\")");
    EXPECT_EQ(Editor().Line(3), "' Account detail form");
    EXPECT_EQ(messages.messages.size(), 1u);
}

TEST_F(LineCheckTest, CommenceGoneLetsEnterThroughWithTheStatusText) {
    commence.StopServers();
    TypeAndEnter("x = Field(\"Regoin\")");
    EXPECT_EQ(Editor().LineCount(), lines_ + 1);
    EXPECT_EQ(Panel(0), "Field & connection validation failed");
    EXPECT_TRUE(messages.Texts().empty());
    EXPECT_TRUE(commence.RunningServers().empty()) << "the check never starts Commence";
}

// Regression: the idle rescan after the Enter wrote its own progress over
// the message at once, so the user never learnt that the check did not run.
TEST_F(LineCheckTest, AFailedCheckStaysInTheStatusLineUntilAKeyOnAnotherLine) {
    commence.StopServers();
    TypeAndEnter("x = Field(\"Regoin\")");
    QCoreApplication::processEvents();  // the idle rescan
    EXPECT_EQ(Panel(0), "Field & connection validation failed");

    QTest::keyClicks(&Editor(), "y = 1");  // on the line the Enter opened
    QCoreApplication::processEvents();
    EXPECT_EQ(Panel(0), "Field & connection validation failed");

    QTest::keyClick(&Editor(), Qt::Key_Down);
    QTest::keyClicks(&Editor(), "z");  // a key on another line
    QCoreApplication::processEvents();
    EXPECT_EQ(Panel(0), "Ready");
}

TEST_F(LineCheckTest, SettingOffNeverAsksCommence) {
    Settings().validateObjects = false;
    commence.StopServers();
    const std::string before = Panel(0);
    TypeAndEnter("x = Field(\"Regoin\")");
    EXPECT_EQ(Editor().LineCount(), lines_ + 1);
    EXPECT_EQ(Panel(0), before);
    EXPECT_TRUE(messages.Texts().empty());
}

}  // namespace
}  // namespace vk::test
