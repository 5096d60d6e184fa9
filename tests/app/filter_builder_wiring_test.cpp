#include "app/filter_builder_wiring.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "filters/filter_builder.h"
#include "road_fixture.h"

namespace vk::test {
namespace {

// The Filter Builder action of the main window over the demo databases.
class FilterBuilderWiringTest : public RoadTest {
protected:
    TfFilterBuilder& Builder() {
        if (!builder_) builder_ = &AttachFilterBuilder(Window(), Context());
        return *builder_;
    }

    // Triggers the action; `inside` runs while the builder is shown and
    // returns whether to press "Insert" (else the builder is closed).
    void RunBuilder(const std::function<bool(TfFilterBuilder&)>& inside) {
        TfFilterBuilder& b = Builder();
        QTimer::singleShot(0, &b, [&] {
            if (!b.isVisible()) return;
            if (inside(b))
                b.findChild<QToolButton*>(QStringLiteral("sbInsertFilter"))->click();
            else
                b.reject();
        });
        Window().Actions().acFilterBuilder->trigger();
        QCoreApplication::processEvents();
    }

    static void PickField(TfFilterBuilder& b, const char* text) {
        auto* list = b.findChild<QListWidget*>(QStringLiteral("lbFields"));
        const auto found = list->findItems(QString::fromLatin1(text), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text;
        list->setCurrentItem(found.front());
    }

private:
    TfFilterBuilder* builder_ = nullptr;
};

TEST_F(FilterBuilderWiringTest, RefusesWithoutADatabase) {
    Builder();
    bool shown = false;
    RunBuilder([&](TfFilterBuilder&) { return shown = true; });
    EXPECT_FALSE(shown);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Please select a database first.");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
}

// "Insert" replaces the selection as one undo step; the builder opens on the
// script's category.
TEST_F(FilterBuilderWiringTest, InsertsIntoTheOpenScript) {
    Settings().quoteStyle = 1;
    Builder();
    OpenForm("Demo Sales", "Account", "Account");
    const std::string before = Editor().Text();
    const int line = 1;
    const std::string oldLine = Editor().Line(line);
    Editor().SetSel(Editor().LineIndex(line), static_cast<int>(oldLine.size()));

    RunBuilder([](TfFilterBuilder& b) {
        EXPECT_EQ(b.windowTitle(), QStringLiteral("Filter for Category: Account"));
        PickField(b, "Region");
        b.findChild<QLineEdit*>(QStringLiteral("edSelection"))->setText(QStringLiteral("North"));
        return true;
    });
    EXPECT_EQ(Editor().Line(line), R"('[ViewFilter(1,F,,"Region",Equal To,"North")]')");
    EXPECT_TRUE(Editor().IsModified());
    Editor().undo();
    EXPECT_EQ(Editor().Text(), before);

    // Closed without "Insert", nothing goes in.
    RunBuilder([](TfFilterBuilder&) { return false; });
    EXPECT_EQ(Editor().Text(), before);
    EXPECT_TRUE(messages.messages.empty());
}

// Opened on a line with a command, the builder starts from it and "Insert"
// writes the changed command over the old one; the rest of the line stays.
TEST_F(FilterBuilderWiringTest, ChangesTheCommandOnTheCaretLine) {
    Builder();
    OpenForm("Demo Sales", "Account", "Account");
    const std::string old =
        R"("[ViewFilter(2,F,Not,""""Address"""",Does Not Contain,""""Main St"""",1)]")";
    ASSERT_TRUE(Editor().InsertLine(0, "  v = " + old + " ' the filter"));
    Editor().SetCaret(3);

    RunBuilder([&](TfFilterBuilder& b) {
        EXPECT_EQ(b.ViewFilterText(), old);
        auto* value = b.findChild<QLineEdit*>(QStringLiteral("edTextMin"));
        EXPECT_EQ(value->text(), QStringLiteral("Main St"));
        value->setText(QStringLiteral("Elm St"));
        return true;
    });
    EXPECT_EQ(
        Editor().Line(0),
        R"(  v = "[ViewFilter(2,F,Not,""""Address"""",Does Not Contain,""""Elm St"""",1)]" ' the filter)");
    EXPECT_TRUE(messages.messages.empty());
}

}  // namespace
}  // namespace vk::test
