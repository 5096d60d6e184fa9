// The main window's position, size and state across sessions.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>
#include <optional>

#include "browser/code_browser.h"
#include "editor/script_editor.h"
#include "main_window_fixture.h"

namespace vk::test {
namespace {

QRect Centred(QSize size) {
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    return QRect(desktop.center() - QPoint(size.width() / 2, size.height() / 2), size);
}

struct LoadRow {
    const char* name;
    std::optional<std::uint32_t> top, left, width, height, state;
    bool textTop;  // "Top" stored as a string, so it cannot be read as an integer
    QRect expected;
    bool maximised;
};

TEST_F(MainWindowTest, PlacementIsRestoredValueByValue) {
    const QRect centred = Centred(QSize(800, 600));
    const LoadRow rows[] = {
        {"all four bounds", 30, 40, 500, 400, std::nullopt, false, QRect(40, 30, 500, 400), false},
        {"only the width", std::nullopt, std::nullopt, 500, std::nullopt, std::nullopt, false,
         QRect(centred.topLeft(), QSize(500, 600)), false},
        {"a top of the wrong type is skipped", std::nullopt, 40, 500, 400, std::nullopt, true,
         QRect(40, centred.y(), 500, 400), false},
        {"negative coordinates", 0xFFFFFFF6u, 0xFFFFFFECu, 500, 400, 0, false,
         QRect(-20, -10, 500, 400), false},
        {"minimised is not restored", 30, 40, 500, 400, 1, false, QRect(40, 30, 500, 400), false},
        {"maximised keeps its normal bounds", 30, 40, 500, 400, 2, false, QRect(40, 30, 500, 400),
         true},
    };
    for (const LoadRow& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir freshDir;
        Registry freshRegistry(freshDir.path());
        {
            auto key = freshRegistry.OpenKey(Hive::CurrentUser, kProgramKey, true);
            ASSERT_TRUE(key);
            if (row.top) key->WriteInteger("Top", *row.top);
            if (row.textTop) key->WriteString("Top", "30");
            if (row.left) key->WriteInteger("Left", *row.left);
            if (row.width) key->WriteInteger("Width", *row.width);
            if (row.height) key->WriteInteger("Height", *row.height);
            if (row.state) key->WriteInteger("WindowState", *row.state);
        }
        TSettings settings(freshRegistry);
        TfMain window(settings, messages);
        EXPECT_EQ(window.isMaximized(), row.maximised);
        EXPECT_FALSE(window.isMinimized());
        EXPECT_EQ(window.normalGeometry(), row.expected);
        if (!row.maximised) {
            EXPECT_EQ(window.geometry(), row.expected);
        }
    }
}

// Regression: a stored width or left of 0x7fffffff aborted the sanitizer
// build (a signed overflow) and opened a 32767x32767 window elsewhere; a top
// and left of -1,000,000 put the window off every screen, and so it was
// saved again. Now the window is held on the screen, no larger than it, and
// each value that was not used is said once in the warnings panel.
TEST_F(MainWindowTest, PlacementOffEveryScreenOrLargerThanItIsHeldOnTheScreen) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(area.topLeft(), QPoint(0, 0)) << "the rows are written for the offscreen screen";
    ASSERT_EQ(area.width(), 800);
    const QSize least = TfMain(Settings(), messages).minimumSizeHint();
    const auto text = [](int value) { return QString::number(value); };
    const struct {
        const char* name;
        std::uint32_t top, left, width, height;
        QPoint pos;  // the frame's
        QSize size;  // the client area's
        QStringList warnings;
        std::optional<std::uint32_t> codeBrowserWidth = std::nullopt;  // also stored when given
    } rows[] = {
        {"left and width as large as a DWORD holds",
         30,
         0x7fffffff,
         0x7fffffff,
         400,
         QPoint(0, 30),
         QSize(800, 400),
         {"The stored window Left 2147483647 does not fit on the screen; 0 is used.",
          "The stored window Width 2147483647 does not fit on the screen; 800 is used."},
         0x7fffffff},
        {"far above and left of every screen",
         static_cast<std::uint32_t>(-1000000),
         static_cast<std::uint32_t>(-1000000),
         500,
         400,
         QPoint(0, 0),
         QSize(500, 400),
         {"The stored window Left -1000000 does not fit on the screen; 0 is used.",
          "The stored window Top -1000000 does not fit on the screen; 0 is used."}},
        {"no size at all",
         30,
         40,
         0,
         0,
         QPoint(40, 30),
         least,
         {"The stored window Width 0 does not fit on the screen; " + text(least.width()) +
              " is used.",
          "The stored window Height 0 does not fit on the screen; " + text(least.height()) +
              " is used."}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir freshDir;
        Registry freshRegistry(freshDir.path());
        {
            auto key = freshRegistry.OpenKey(Hive::CurrentUser, kProgramKey, true);
            ASSERT_TRUE(key);
            key->WriteInteger("Top", row.top);
            key->WriteInteger("Left", row.left);
            key->WriteInteger("Width", row.width);
            key->WriteInteger("Height", row.height);
            if (row.codeBrowserWidth) key->WriteInteger("Code Browser Width", *row.codeBrowserWidth);
        }
        TSettings settings(freshRegistry);
        TfMain window(settings, messages);
        window.show();
        QCoreApplication::processEvents();  // the warnings come from the running loop
        EXPECT_EQ(window.pos(), row.pos);
        EXPECT_EQ(window.size(), row.size);
        QStringList warnings = row.warnings;
        if (row.codeBrowserWidth) {
            warnings << "The stored Code Browser Width " + text(static_cast<int>(*row.codeBrowserWidth)) +
                            " does not fit in the window; " + text(window.DefaultCodeBrowserWidth()) +
                            " is used.";
        }
        EXPECT_EQ(window.meWarnings()->toPlainText(), warnings.join(QLatin1Char('\n')));
        EXPECT_GT(window.reScript()->height(), window.meWarnings()->height())
            << "the editor keeps its place above the warnings";
        ASSERT_TRUE(window.close());
        const auto key = freshRegistry.OpenKey(Hive::CurrentUser, kProgramKey);
        EXPECT_EQ(key->ReadInteger("Left"), static_cast<std::uint32_t>(row.pos.x()))
            << "closed, the window stores where it was";
        EXPECT_EQ(key->ReadInteger("Width"), static_cast<std::uint32_t>(row.size.width()));
    }
}

TEST_F(MainWindowTest, FirstStartIsCentredAndCreatesNoKey) {
    auto window = MakeWindow();
    EXPECT_EQ(window->geometry(), Centred(QSize(800, 600)));
    EXPECT_FALSE(window->isMaximized());
    EXPECT_FALSE(registry.OpenKey(Hive::CurrentUser, kProgramKey).has_value());
}

TEST_F(MainWindowTest, NormalWindowStoresItsBoundsAndComesBackThere) {
    {
        auto window = MakeWindow();
        window->show();
        // The position is the frame's, the size the client area's.
        window->move(60, 50);
        window->resize(520, 410);
        ASSERT_TRUE(window->close());
    }
    const auto key = registry.OpenKey(Hive::CurrentUser, kProgramKey);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadInteger("WindowState"), 0u);
    EXPECT_EQ(key->ReadInteger("Left"), 60u);
    EXPECT_EQ(key->ReadInteger("Top"), 50u);
    EXPECT_EQ(key->ReadInteger("Width"), 520u);
    EXPECT_EQ(key->ReadInteger("Height"), 410u);

    auto reopened = MakeWindow();
    reopened->show();
    EXPECT_EQ(reopened->pos(), QPoint(60, 50));
    EXPECT_EQ(reopened->size(), QSize(520, 410));
}

TEST_F(MainWindowTest, MaximisedWindowReopensMaximisedWithItsLastNormalBounds) {
    {
        auto window = MakeWindow();
        window->show();
        window->move(60, 50);
        window->resize(520, 410);
        ASSERT_TRUE(window->close());
    }
    {
        auto window = MakeWindow();
        window->show();
        window->showMaximized();
        ASSERT_TRUE(window->isMaximized());
        ASSERT_TRUE(window->close());
    }
    const auto key = registry.OpenKey(Hive::CurrentUser, kProgramKey);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadInteger("WindowState"), 2u);
    EXPECT_EQ(key->ReadInteger("Width"), 520u);

    auto reopened = MakeWindow();
    reopened->show();
    EXPECT_TRUE(reopened->isMaximized());
    reopened->showNormal();
    EXPECT_EQ(reopened->pos(), QPoint(60, 50));
    EXPECT_EQ(reopened->size(), QSize(520, 410));
}

// The first start shows names of 20 characters whole (137 pixels cut
// "OnLeaveFi..."), also beside the scroll bar of a long list; the divider
// the user drags stays where it was left.
TEST_F(MainWindowTest, CodeBrowserShowsLongNamesAndKeepsItsWidth) {
    std::string script;
    for (const char* name :
         {"UpdateMailingAddress", "ValidateCustomerName", "OnLeaveFieldCustomer"})
        for (int i = 0; i < 20; ++i) script += std::string("Sub ") + name + "()\r\nEnd Sub\r\n";
    int dragged = 0;
    {
        auto window = MakeWindow();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->reScript()->SetPlainText(script);
        window->EnableEdit();
        window->CodeBrowser().ScriptLoaded();
        QTreeWidget& tree = *window->tvCodeBrowser();
        tree.expandAll();
        QTest::qWait(20);  // the tree lays its entries out when idle
        ASSERT_TRUE(tree.verticalScrollBar()->isVisible());
        // What the widest entry needs, its indentation and icon included.
        const int needed = static_cast<const QAbstractItemView&>(tree).sizeHintForColumn(0);
        EXPECT_GE(tree.viewport()->width(), needed);

        auto* divider = Find<QSplitter>(*window, "splHor")->handle(1);
        const int before = window->CodeBrowserWidth();
        const QPoint from = divider->rect().center();
        QTest::mousePress(divider, Qt::LeftButton, {}, from);
        QTest::mouseMove(divider, from + QPoint(60, 0));
        QTest::mouseRelease(divider, Qt::LeftButton, {}, from + QPoint(60, 0));
        dragged = window->CodeBrowserWidth();
        EXPECT_EQ(dragged, before + 60);
        ASSERT_TRUE(window->close());
    }
    auto reopened = MakeWindow();
    reopened->show();
    EXPECT_EQ(reopened->CodeBrowserWidth(), dragged);
}

}  // namespace
}  // namespace vk::test
