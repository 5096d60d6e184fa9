// What the main window does: status, warnings, the modified indicator,
// closing, About, configuration and errors raised by commands.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTest>
#include <QToolButton>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/about.h"
#include "common/exceptions.h"
#include "editor/ansi_text.h"
#include "editor/script_editor.h"
#include "main_window_fixture.h"

namespace vk::test {
namespace {

std::string EditorText(const ScriptEditor& editor) { return editor.Text(); }

// Opens the editor as a loaded script would and types into it.
void TypeIntoEditor(TfMain& window, const char* text) {
    window.Actions().acEnableEdit->trigger();
    QTest::keyClicks(window.reScript(), QString::fromLatin1(text));
}

struct StatusRow {
    const char* name;
    bool displayStatus;
    std::vector<std::pair<std::string, int>> messages;
    std::string expected;
};

TEST_F(MainWindowTest, StatusPanelFollowsTheLevelRule) {
    const std::string notice(kNoticeLine);
    const StatusRow rows[] = {
        {"opening message is shown", true, {{"Opening script", 0}}, "Opening script"},
        {"empty text reads Ready", true, {{"Opening script", 0}, {"", 1}}, "Ready"},
        {"level 1 under a standing level 2 is dropped", true, {{"Deep", 2}, {"Late", 1}}, "Deep"},
        {"level 0 is always shown", true, {{"Deep", 2}, {"New operation", 0}}, "New operation"},
        {"same level is shown", true, {{"First", 2}, {"Second", 2}}, "Second"},
        {"a dropped message still sets the level",
         true,
         {{"Deep", 2}, {"Late", 1}, {"Next", 1}},
         "Next"},
        {"Windows-1252 text", true, {{"Caf\xE9 \x80 5", 0}}, "Caf\xE9 \x80 5"},
        {"display status off keeps the notice line",
         false,
         {{"Opening script", 0}, {"", 1}},
         notice},
    };
    for (const StatusRow& row : rows) {
        SCOPED_TRACE(row.name);
        Settings().displayStatus = row.displayStatus;
        auto window = MakeWindow();
        for (const auto& [text, level] : row.messages) window->SetStatus(text, level);
        EXPECT_EQ(ToAnsi(window->StatusPanel(0)->text()), row.expected);
    }
}

TEST_F(MainWindowTest, StartShowsReadyOnceTheEditorIsConfigured) {
    auto window = MakeWindow();
    EXPECT_EQ(window->StatusPanel(0)->text(), "Ready");
}

TEST_F(MainWindowTest, WarningsOpenThePanelAndTheHideButtonClosesIt) {
    auto window = MakeWindow();
    window->show();
    ASSERT_EQ(window->WarningsHeight(), 0);

    window->AddWarning("Sub Form_OnSave has no End Sub");
    EXPECT_EQ(window->WarningsHeight(), TfMain::kWarningsMinHeight);

    // A panel the user made taller stays as it is.
    auto* splitter = Find<QSplitter>(*window, "splVer");
    QList<int> sizes = splitter->sizes();
    splitter->setSizes({sizes[0] + sizes[1] - 80, 80});
    window->AddWarning("Function Total has no End Function");
    EXPECT_EQ(window->WarningsHeight(), 80);

    QTest::mouseClick(window->sbHideWarnings(), Qt::LeftButton);
    EXPECT_EQ(window->WarningsHeight(), 0);
    EXPECT_EQ(window->meWarnings()->toPlainText(),
              "Sub Form_OnSave has no End Sub\nFunction Total has no End Function");

    window->AddWarning("Sub Helper has no End Sub");
    EXPECT_EQ(window->WarningsHeight(), TfMain::kWarningsMinHeight);
    EXPECT_EQ(window->meWarnings()->document()->blockCount(), 3);
}

TEST_F(MainWindowTest, TypingShowsModifiedAndEnableEditClearsIt) {
    auto window = MakeWindow();
    window->show();
    EXPECT_FALSE(window->reScript()->isEnabled());

    TypeIntoEditor(*window, "Dim x");
    EXPECT_TRUE(window->reScript()->isEnabled());
    EXPECT_TRUE(window->reScript()->IsModified());
    EXPECT_EQ(window->StatusPanel(1)->text(), "Modified");

    window->Actions().acEnableEdit->trigger();
    EXPECT_FALSE(window->reScript()->IsModified());
    EXPECT_TRUE(window->StatusPanel(1)->text().isEmpty());
    EXPECT_EQ(EditorText(*window->reScript()), "Dim x");

    // While the editor's notifications are held back, edits leave the panel
    // alone.
    {
        ScriptEditor::DetachedNotifications detached(*window->reScript(),
                                                     ScriptEditor::OnAttach::Nothing);
        QTest::keyClicks(window->reScript(), "y");
    }
    EXPECT_TRUE(window->StatusPanel(1)->text().isEmpty());
    QTest::keyClicks(window->reScript(), "z");
    EXPECT_EQ(window->StatusPanel(1)->text(), "Modified");
}

TEST_F(MainWindowTest, EditorTakesFontTabWidthAndGutterFromTheSettings) {
    {
        auto editorKey =
            registry.OpenKey(Hive::CurrentUser, std::string(kProgramKey) + "\\Editor", true);
        ASSERT_TRUE(editorKey);
        editorKey->WriteString("Font name", "DejaVu Sans Mono");
        editorKey->WriteInteger("Font size", 12);
        editorKey->WriteInteger("Tab width", 5);
        editorKey->WriteInteger("Gutter width", 7);
    }
    auto window = MakeWindow();
    ScriptEditor* editor = window->reScript();
    EXPECT_FALSE(editor->IsModified());
    // The font shows on the text the user types.
    TypeIntoEditor(*window, "Dim x");
    const auto style =
        static_cast<unsigned long>(editor->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, 0UL));
    for (unsigned long shown :
         {static_cast<unsigned long>(QsciScintillaBase::STYLE_DEFAULT), style}) {
        SCOPED_TRACE(shown);
        char face[64] = {};
        editor->SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, shown, static_cast<void*>(face));
        EXPECT_STREQ(face, "DejaVu Sans Mono");
        EXPECT_EQ(editor->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, shown), 12);
    }
    EXPECT_EQ(editor->tabWidth(), 5);
    EXPECT_EQ(editor->SendScintilla(QsciScintillaBase::SCI_GETMARGINLEFT), 7);
}

TEST_F(MainWindowTest, EditMenuCutsCopiesAndPastesInTheEditor) {
    auto window = MakeWindow();
    window->show();
    TypeIntoEditor(*window, "MsgBox 1");
    const MainMenuItems& items = window->MenuItems();
    items.miSelectAll->trigger();
    items.miCopy->trigger();
    items.miPaste->trigger();
    items.miPaste->trigger();
    EXPECT_EQ(EditorText(*window->reScript()), "MsgBox 1MsgBox 1");
    items.miSelectAll->trigger();
    items.miCut->trigger();
    EXPECT_EQ(EditorText(*window->reScript()), "");
    items.miPaste->trigger();
    EXPECT_EQ(EditorText(*window->reScript()), "MsgBox 1MsgBox 1");
}

// Clicks an item of a menu as the user does, popping the menu up first.
void ClickMenuItem(QMenu& menu, QAction* item) {
    if (!menu.isVisible()) menu.popup(QPoint(10, 10));
    ASSERT_TRUE(menu.isVisible());
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(item).center());
}

TEST_F(MainWindowTest, EditMenuAndContextMenuUndoRedoAndDelete) {
    auto window = MakeWindow();
    window->show();
    ScriptEditor& editor = *window->reScript();
    const MainMenuItems& items = window->MenuItems();
    QMenu& edit = *Find<QMenu>(*window, "miEdit");
    QMenu& context = *window->EditorMenu().pmScript;

    // Before a script is open the disabled editor takes nothing.
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    ClickMenuItem(edit, items.miPaste);
    EXPECT_EQ(EditorText(editor), "");

    TypeIntoEditor(*window, "Dim x");
    ClickMenuItem(edit, items.miUndo);
    EXPECT_EQ(EditorText(editor), "");
    ClickMenuItem(edit, items.miRedo);
    EXPECT_EQ(EditorText(editor), "Dim x");

    QWidget* viewport = editor.viewport();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(10, 10),
                                 viewport->mapToGlobal(QPoint(10, 10)));
    editor.SetSel(0, 4);
    QApplication::sendEvent(viewport, &rightClick);
    ClickMenuItem(context, window->EditorMenu().miDelete);
    EXPECT_EQ(EditorText(editor), "x");
    QApplication::sendEvent(viewport, &rightClick);
    ClickMenuItem(context, items.miUndo);
    EXPECT_EQ(EditorText(editor), "Dim x");

    // The shortcuts the menus show are the editor's own keys.
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(EditorText(editor), "");
    QTest::keyClick(&editor, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(EditorText(editor), "Dim x");
}

TEST_F(MainWindowTest, RightClickInTheEditorOpensItsContextMenu) {
    auto window = MakeWindow();
    window->show();
    window->Actions().acEnableEdit->trigger();
    QWidget* viewport = window->reScript()->viewport();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10),
                            viewport->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(viewport, &click);
    QMenu* menu = window->EditorMenu().pmScript;
    EXPECT_TRUE(menu->isVisible());
    menu->close();
}

TEST_F(MainWindowTest, OpeningTheDatabasesMenuReloadsTheList) {
    auto window = MakeWindow();
    int loads = 0;
    QObject::connect(window->Actions().acLoadDatabases, &QAction::triggered, [&loads] { ++loads; });
    emit window->Toolbars().pmDatabases->aboutToShow();
    EXPECT_EQ(loads, 1);
}

struct CloseRow {
    const char* name;
    bool modified;
    MessageAnswer answer;
    bool updateFails;
    bool closes;
    int updates;
};

TEST_F(MainWindowTest, ClosingAsksAboutUnsavedChangesAndAlwaysStoresPlacement) {
    const CloseRow rows[] = {
        {"unmodified closes without asking", false, MessageAnswer::Yes, false, true, 0},
        {"Yes updates, then closes", true, MessageAnswer::Yes, false, true, 1},
        // Closing after a failed update would lose the edits with the window.
        {"Yes with a failing update keeps the window open", true, MessageAnswer::Yes, true, false,
         1},
        {"No closes without updating", true, MessageAnswer::No, false, true, 0},
        {"Cancel keeps the window open", true, MessageAnswer::Cancel, false, false, 0},
    };
    for (const CloseRow& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir freshDir;
        Registry freshRegistry(freshDir.path());
        TSettings settings(freshRegistry);
        RecordingMessageService boxes;
        boxes.answers.push_back(row.answer);
        TfMain window(settings, boxes);
        int updates = 0;
        QObject::connect(&window, &TfMain::updateRequested, [&] {
            window.RunCommand([&] {
                ++updates;
                if (row.updateFails) throw EDDEFailed("Commence is not ready");
                window.reScript()->SetModified(false);  // as a stored check-in does
            });
        });
        window.show();
        window.resize(640, 480);
        if (row.modified) TypeIntoEditor(window, "x");

        EXPECT_EQ(window.close(), row.closes);
        EXPECT_EQ(window.isVisible(), !row.closes);
        EXPECT_EQ(updates, row.updates);
        std::vector<std::string> expectedTexts;
        if (row.modified) expectedTexts.push_back("Save changes first ?");
        if (row.updateFails) expectedTexts.push_back("Commence is not ready.");
        EXPECT_EQ(boxes.Texts(), expectedTexts);
        if (row.modified) {
            EXPECT_EQ(boxes.messages[0].icon, MessageIcon::Question);
            EXPECT_EQ(boxes.messages[0].buttons, MessageButtons::YesNoCancel);
            EXPECT_EQ(boxes.messages[0].title, "Vellumkit");
        }

        const auto key = freshRegistry.OpenKey(Hive::CurrentUser, kProgramKey);
        ASSERT_TRUE(key);
        EXPECT_EQ(key->ReadInteger("WindowState"), 0u);
        EXPECT_EQ(key->ReadInteger("Width"), 640u);
        EXPECT_EQ(key->ReadInteger("Height"), 480u);
    }
}

TEST_F(MainWindowTest, ExitClosesLikeTheCloseBox) {
    auto window = MakeWindow();
    window->show();
    TypeIntoEditor(*window, "x");
    messages.answers.push_back(MessageAnswer::Cancel);
    window->MenuItems().miExit->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Save changes first ?"});

    messages.answers.push_back(MessageAnswer::No);
    window->MenuItems().miExit->trigger();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, AboutShowsProductBuildAndNotice) {
    auto window = MakeWindow();
    window->MenuItems().miAbout->trigger();
    ASSERT_EQ(messages.messages.size(), 1u);
    const auto& box = messages.messages[0];
    EXPECT_EQ(box.title, "About Vellumkit");
    EXPECT_EQ(box.icon, MessageIcon::Information);
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    const ProgramVersion built{VK_VERSION_MAJOR, VK_VERSION_MINOR, VK_VERSION_PATCH,
                               VK_VERSION_TWEAK};
    EXPECT_EQ(box.text, "Vellumkit for Commence\xAE\rBuild " + std::to_string(built.major) + "." +
                            std::to_string(built.minor) + "." + std::to_string(built.release) +
                            "." + std::to_string(built.build) + "\r" + std::string(kNoticeLine));
}

TEST(AboutText, BuildLineNamesFourPartsOrAnUnknownBuild) {
    EXPECT_EQ(BuildLine(ProgramVersion{1, 2, 3, 4}), "Build 1.2.3.4");
    EXPECT_EQ(BuildLine(ProgramVersion{10, 0, 0, 12}), "Build 10.0.0.12");
    EXPECT_EQ(BuildLine(std::nullopt), "Unknown Build!");
    EXPECT_EQ(AboutText(std::nullopt),
              "Vellumkit for Commence\xAE\rUnknown Build!\r" + std::string(kNoticeLine));
}

struct ErrorRow {
    const char* name;
    std::function<void()> raise;
    const char* shown;
};

TEST_F(MainWindowTest, AnErrorInACommandReachesTheErrorBoxAndTheWindowStaysUsable) {
    const ErrorRow rows[] = {
        {"a full stop is added", [] { throw EDDEFailed("Commence is not ready"); },
         "Commence is not ready."},
        {"a final full stop is kept", [] { throw EMacroFailed("Check-in refused."); },
         "Check-in refused."},
        {"a closing bracket sorts below the full stop",
         [] { throw EMissingDBItem("Unknown field (Name)"); }, "Unknown field (Name)"},
        {"any standard exception", [] { throw std::runtime_error("disk full"); }, "disk full."},
    };
    for (const ErrorRow& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingMessageService boxes;
        TfMain window(Settings(), boxes);
        window.show();
        TypeIntoEditor(window, "Sub Form_OnLoad");
        QObject::connect(&window, &TfMain::updateRequested, [&] { window.RunCommand(row.raise); });
        window.Actions().acUpdate->setEnabled(true);

        window.Actions().acUpdate->trigger();
        ASSERT_EQ(boxes.messages.size(), 1u);
        EXPECT_EQ(boxes.messages[0].text, row.shown);
        EXPECT_EQ(boxes.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(boxes.messages[0].buttons, MessageButtons::Ok);
        EXPECT_EQ(boxes.messages[0].title, "Vellumkit");

        // Still usable: the text is kept, typing goes on, commands run.
        EXPECT_EQ(EditorText(*window.reScript()), "Sub Form_OnLoad");
        QTest::keyClicks(window.reScript(), "()");
        EXPECT_EQ(EditorText(*window.reScript()), "Sub Form_OnLoad()");
        window.MenuItems().miAbout->trigger();
        EXPECT_EQ(boxes.messages.size(), 2u);
    }
}

TEST_F(MainWindowTest, CtrlSUpdatesThenFocusesCommenceEvenAfterAFailedUpdate) {
    for (const bool updateFails : {false, true}) {
        SCOPED_TRACE(updateFails ? "failing update" : "good update");
        RecordingMessageService boxes;
        boxes.defaultAnswer = MessageAnswer::No;
        TfMain window(Settings(), boxes);
        std::vector<std::string> calls;
        QObject::connect(&window, &TfMain::updateRequested, [&] {
            window.RunCommand([&] {
                calls.push_back("update");
                if (updateFails) throw EDDEFailed("Commence is not ready");
            });
        });
        QObject::connect(&window, &TfMain::focusCommenceRequested,
                         [&] { calls.push_back("focus"); });
        window.Actions().acUpdateAndFocus->setEnabled(true);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(calls, (std::vector<std::string>{"update", "focus"}));
        EXPECT_EQ(boxes.messages.size(), updateFails ? 1u : 0u);
    }
}

}  // namespace
}  // namespace vk::test
