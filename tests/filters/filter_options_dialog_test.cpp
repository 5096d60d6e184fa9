#include "filters/filter_options_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>

#include "editor/ansi_text.h"
#include "filters/filter_builder.h"
#include "platform/registry.h"
#include "settings/settings.h"
#include "support/recording_message_service.h"
#include "support/test_support.h"

namespace vk::test {
namespace {

// The options dialog as "O&ptions..." opens it from the Text page. No
// Commence is needed: the field list is filled by hand.
class FilterOptionsTest : public ::testing::Test {
protected:
    FilterOptionsTest() {
        settings.quoteStyle = 2;
        auto* fields = builder.findChild<QListWidget*>(QStringLiteral("lbFields"));
        auto* item = new QListWidgetItem(QStringLiteral("Last Name"));
        item->setData(Qt::UserRole, 0);
        fields->addItem(item);
        fields->setCurrentRow(0);
        value = builder.findChild<QLineEdit*>(QStringLiteral("edTextMin"));
    }

    // Opens the dialog; `inside` runs while it is shown and closes it.
    void OpenOptions(const std::function<void(TfFilterOptions&)>& inside) {
        TfFilterOptions& options = builder.Options();
        QTimer::singleShot(0, &options, [&] {
            if (!options.isVisible()) return;
            inside(options);
            if (options.isVisible()) options.reject();
        });
        builder.findChild<QAction*>(QStringLiteral("acShowOptions"))->trigger();
        // A refused value never shows the dialog: let the timer go by now.
        QCoreApplication::processEvents();
    }

    static QPushButton* Button(TfFilterOptions& o, const char* name) {
        return o.findChild<QPushButton*>(QString::fromLatin1(name));
    }

    TempDir dir;
    Registry registry{dir.path()};
    TSettings settings{registry};
    RecordingMessageService messages;
    TfFilterBuilder builder{settings, messages, registry};
    QLineEdit* value = nullptr;
};

TEST_F(FilterOptionsTest, OkWritesTheJoinedBoxesBack) {
    value->setText(QStringLiteral("Smith .OR. Jones .OR.  Brown"));
    OpenOptions([](TfFilterOptions& o) {
        EXPECT_EQ(o.windowTitle(), QStringLiteral("Filter 1"));
        EXPECT_EQ(o.findChild<QGroupBox*>(QStringLiteral("rgFilterOptions"))->title(),
                  QStringLiteral("Last Name Contains..."));
        EXPECT_EQ(o.edOptions(3)->text(), QStringLiteral("Brown"));
        EXPECT_FALSE(o.IsLongLayout());
        EXPECT_TRUE(o.edOptions(5)->isHidden());
        EXPECT_EQ(o.height(), 218);
        EXPECT_EQ(Button(o, "bOK")->geometry().topLeft(), QPoint(128, 159));

        o.findChildren<QRadioButton*>().at(1)->click();  // "All of the following strings"
        Button(o, "bMore")->click();
        EXPECT_TRUE(o.IsLongLayout());
        EXPECT_TRUE(Button(o, "bMore")->isHidden());
        EXPECT_EQ(o.height(), 295);
        EXPECT_EQ(Button(o, "bCancel")->geometry().topLeft(), QPoint(172, 236));
        o.edOptions(5)->setText(QStringLiteral("Green"));
        Button(o, "bOK")->click();
    });
    EXPECT_EQ(value->text(), QStringLiteral("Smith .AND. Jones .AND. Brown .AND. Green"));
    EXPECT_EQ(builder.ViewFilterText(),
              "[ViewFilter(1,F,,Last Name,Contains,Smith .AND. Jones .AND. Brown .AND. Green)]");
}

TEST_F(FilterOptionsTest, CancelAndSurplusPiecesLeaveTheValue) {
    const QString five = QStringLiteral("a .OR. b .OR. c .OR. d .OR. e");
    value->setText(five);
    OpenOptions([](TfFilterOptions& o) {
        EXPECT_TRUE(o.IsLongLayout());
        o.edOptions(1)->setText(QStringLiteral("changed"));
        Button(o, "bCancel")->click();
    });
    EXPECT_EQ(value->text(), five);

    // Eleven pieces: the tenth box holds the rest, so OK gives the value back.
    const QString eleven =
        QStringLiteral("1 .OR. 2 .OR. 3 .OR. 4 .OR. 5 .OR. 6 .OR. 7 .OR. 8 .OR. 9 .OR. 10 .OR. 11");
    value->setText(eleven);
    OpenOptions([](TfFilterOptions& o) {
        EXPECT_EQ(o.edOptions(10)->text(), QStringLiteral("10 .OR. 11"));
        Button(o, "bOK")->click();
    });
    EXPECT_EQ(value->text(), eleven);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(FilterOptionsTest, RefusesBothJoinWords) {
    value->setText(QStringLiteral("a .AND. b .OR. c"));
    bool shown = false;
    OpenOptions([&](TfFilterOptions&) { shown = true; });
    EXPECT_FALSE(shown);
    EXPECT_EQ(value->text(), QStringLiteral("a .AND. b .OR. c"));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "You cannot use both .AND. and .OR. in the same filter.");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Warning);
}

}  // namespace
}  // namespace vk::test
