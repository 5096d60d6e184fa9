// The real message boxes and input box, answered as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/keep_clear.h"
#include "app/qt_message_service.h"

namespace vk::test {
namespace {

// Runs `answer` on the first modal dialog once it is open: the boxes run
// their own event loop, so the answer is queued before they are shown.
template <typename Dialog>
void WhenOpen(std::function<void(Dialog&)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer = std::move(answer)] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        answer(*dialog);
    });
    poll->start(0);
}

struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

struct BoxRow {
    const char* name;
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
    std::function<void(QMessageBox&)> reply;
    MessageAnswer expected;
    QString shownText;
    QMessageBox::Icon shownIcon;
    QMessageBox::StandardButtons shownButtons;
};

std::function<void(QMessageBox&)> Click(QMessageBox::StandardButton which) {
    return [which](QMessageBox& box) { box.button(which)->click(); };
}

void PressEscape(QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }

TEST(QtMessageService, ShowsTitledBoxesWithIconsAndButtonsByKind) {
    const BoxRow rows[] = {
        {"notice with CR separated lines", "Line one\rLine two", MessageIcon::Information,
         MessageButtons::Ok, Click(QMessageBox::Ok), MessageAnswer::Ok, "Line one\nLine two",
         QMessageBox::Information, QMessageBox::Ok},
        {"Windows-1252 text", "Caf\xE9 \x80", MessageIcon::Warning, MessageButtons::Ok,
         Click(QMessageBox::Ok), MessageAnswer::Ok, QString::fromUtf8("Caf\u00e9 \u20ac"),
         QMessageBox::Warning, QMessageBox::Ok},
        {"question answered No", "Save changes first ?", MessageIcon::Question,
         MessageButtons::YesNoCancel, Click(QMessageBox::No), MessageAnswer::No,
         "Save changes first ?", QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel},
        {"Escape cancels a three-way question", "Save changes first ?", MessageIcon::Question,
         MessageButtons::YesNoCancel, PressEscape, MessageAnswer::Cancel, "Save changes first ?",
         QMessageBox::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel},
        {"Escape answers No to a yes-or-no question", "Replace all ?", MessageIcon::Question,
         MessageButtons::YesNo, PressEscape, MessageAnswer::No, "Replace all ?",
         QMessageBox::Question, QMessageBox::Yes | QMessageBox::No},
        {"Enter answers Yes", "Replace all ?", MessageIcon::Question, MessageButtons::YesNo,
         [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, MessageAnswer::Yes,
         "Replace all ?", QMessageBox::Question, QMessageBox::Yes | QMessageBox::No},
    };
    for (const BoxRow& row : rows) {
        SCOPED_TRACE(row.name);
        QtMessageService service;
        SeenBox seen;
        WhenOpen<QMessageBox>([&seen, &row](QMessageBox& box) {
            seen = {box.windowTitle(), box.text(), box.icon(), box.standardButtons()};
            row.reply(box);
        });
        EXPECT_EQ(service.Show(row.text, row.icon, row.buttons), row.expected);
        EXPECT_EQ(seen.title, "Vellumkit");
        EXPECT_EQ(seen.text, row.shownText);
        EXPECT_EQ(seen.icon, row.shownIcon);
        EXPECT_EQ(seen.buttons, row.shownButtons);
    }
}

TEST(QtMessageService, ErrorBoxUsesTheStopIconAndTheFullStopRule) {
    QtMessageService service;
    SeenBox seen;
    WhenOpen<QMessageBox>([&seen](QMessageBox& box) {
        seen = {box.windowTitle(), box.text(), box.icon(), box.standardButtons()};
        box.button(QMessageBox::Ok)->click();
    });
    service.ShowError("The database Sales is not ready");
    EXPECT_EQ(seen.title, "Vellumkit");
    EXPECT_EQ(seen.text, "The database Sales is not ready.");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
}

TEST(QtMessageService, InputBoxReturnsTheEnteredTextOrNothingOnCancel) {
    QtMessageService service;
    QString prompt;
    QString initial;
    WhenOpen<QInputDialog>([&](QInputDialog& dialog) {
        prompt = dialog.labelText();
        initial = dialog.textValue();
        dialog.setTextValue(QString::fromUtf8("42 \u20ac"));
        dialog.accept();
    });
    std::string value = "1";
    EXPECT_TRUE(service.Input("Go to line", "Line number:", value));
    EXPECT_EQ(prompt, "Line number:");
    EXPECT_EQ(initial, "1");
    EXPECT_EQ(value, "42 \x80");

    WhenOpen<QInputDialog>([](QInputDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(service.Input("Go to line", "Line number:", value));
    EXPECT_EQ(value, "42 \x80");
}

TEST(QtMessageService, ABoxMovesOffTheAreaItMustLeaveInSight) {
    QWidget parent;
    parent.setGeometry(0, 0, 640, 480);
    parent.show();
    QtMessageService service(&parent);
    // Across the middle of the parent, where a box is centred.
    const QRect area(120, 230, 400, 20);
    for (const bool keepClear : {false, true}) {
        SCOPED_TRACE(keepClear ? "kept clear" : "centred");
        service.KeepClear(keepClear ? std::optional(ToScreenArea(area)) : std::nullopt);
        QRect shown;
        WhenOpen<QMessageBox>([&shown](QMessageBox& box) {
            shown = box.frameGeometry();
            box.button(QMessageBox::No)->click();
        });
        EXPECT_EQ(service.Show("Replace this entry?", MessageIcon::Question, MessageButtons::YesNo),
                  MessageAnswer::No);
        ASSERT_FALSE(shown.isEmpty());
        EXPECT_EQ(shown.intersects(area), !keepClear);
    }
}

}  // namespace
}  // namespace vk::test
