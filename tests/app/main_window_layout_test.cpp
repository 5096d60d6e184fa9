// What the main window shows at start: actions, menus, toolbars, controls.
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>

#include "editor/script_editor.h"
#include "main_window_fixture.h"

namespace vk::test {
namespace {

struct ActionRow {
    const char* name;
    const char* caption;
    const char* hint;
    const char* shortcut;
    bool enabled;
};

// clang-format off
const ActionRow kActionRows[] = {
    {"acLoadDatabases", "Databases", "", "", true},
    {"acLoadCategories", "Categories", "", "", false},
    {"acLoadForms", "Forms", "", "", false},
    {"acEnableEdit", "Enable Editor", "", "", true},
    {"acFocusCommence", "Focus &Commence", "Focus Commence", "Ctrl+Alt+C", false},
    {"acUpdate", "&Update", "Update script in Commence", "Ctrl+U", false},
    {"acUpdateAndFocus", "Update and Focu&s", "Update script & focus Commence", "Ctrl+S", false},
    {"acSaveToDisk", "Save to disk", "Save the script to disk", "", false},
    {"acPrintScript", "&Print", "Print the current script", "", false},
    {"acIndentBlock", "", "Indent block", "", false},
    {"acUnindentBlock", "", "Unindent block", "", false},
    {"acSetNextBookmark", "Set Bookmark", "Set & Go to bookmarks", "", false},
    {"acFilterBuilder", "&Filter Builder", "Aids in the construction of ViewFilter commands", "", true},
    {"acShowConfiguration", "Configure", "", "", true},
    {"acShowChecksum", "Show CheckSum", "", "", true},
};
// clang-format on

TEST_F(MainWindowTest, EveryActionStartsWithItsCaptionHintShortcutAndState) {
    auto window = MakeWindow();
    for (const ActionRow& row : kActionRows) {
        SCOPED_TRACE(row.name);
        const QAction* action = Find<QAction>(*window, row.name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), QString::fromLatin1(row.caption));
        EXPECT_EQ(action->statusTip(), QString::fromLatin1(row.hint));
        if (*row.hint) {
            EXPECT_EQ(action->toolTip(), QString::fromLatin1(row.hint));
        }
        EXPECT_EQ(action->shortcut().toString(QKeySequence::PortableText),
                  QString::fromLatin1(row.shortcut));
        EXPECT_EQ(action->isEnabled(), row.enabled);
    }
}

TEST_F(MainWindowTest, WindowAndEditorStartState) {
    auto window = MakeWindow();
    EXPECT_EQ(window->objectName(), "fMain");
    EXPECT_EQ(window->windowTitle(), "Vellumkit");
    EXPECT_EQ(window->size(), QSize(800, 600));

    ScriptEditor* editor = Find<ScriptEditor>(*window, "reScript");
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->isEnabled());
    EXPECT_FALSE(editor->IsModified());
    EXPECT_TRUE(editor->Text().empty());
    EXPECT_EQ(editor->wrapMode(), QsciScintilla::WrapNone);
    EXPECT_EQ(editor->tabWidth(), 3);
    EXPECT_TRUE(editor->indentationsUseTabs());

    const auto* tree = Find<QTreeWidget>(*window, "tvCodeBrowser");
    ASSERT_NE(tree, nullptr);
    EXPECT_FALSE(tree->isHidden());
    EXPECT_EQ(tree->indentation(), 19);
    EXPECT_EQ(tree->editTriggers(), QAbstractItemView::NoEditTriggers);

    const auto* memo = Find<QPlainTextEdit>(*window, "meWarnings");
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(Find<QToolButton>(*window, "sbHideWarnings")->toolTip(), "Hide warnings");
    for (const char* name : {"pnMain", "pnWarnings"}) Find<QWidget>(*window, name);
    for (const char* name : {"splHor", "splVer"}) Find<QSplitter>(*window, name);
}

TEST_F(MainWindowTest, ShownWindowLaysOutCodeBrowserEditorAndClosedWarnings) {
    auto window = MakeWindow();
    window->show();
    EXPECT_EQ(window->tvCodeBrowser()->width(), window->DefaultCodeBrowserWidth());
    EXPECT_EQ(window->WarningsHeight(), 0);
    EXPECT_GT(window->reScript()->height(), 300);
    EXPECT_EQ(window->statusBar()->height(), 19);
}

TEST_F(MainWindowTest, StatusBarHasFourPanelsAndShowsTheNoticeLine) {
    auto window = MakeWindow();
    EXPECT_EQ(window->statusBar()->objectName(), "sbMain");
    const int widths[] = {200, 50, 200};
    for (int i = 0; i < TfMain::kStatusPanelCount; ++i) {
        SCOPED_TRACE(i);
        const QLabel* panel = window->StatusPanel(i);
        EXPECT_EQ(panel->objectName(), QStringLiteral("sbMainPanel%1").arg(i));
        if (i < 3) {
            EXPECT_EQ(panel->width(), widths[i]);
        }
    }
    EXPECT_TRUE(window->StatusPanel(1)->text().isEmpty());
    EXPECT_TRUE(window->StatusPanel(2)->text().isEmpty());
}

TEST_F(MainWindowTest, CodeBrowserIsHiddenWhenSwitchedOff) {
    Settings().codeBrowserDisabled = true;
    auto window = MakeWindow();
    EXPECT_TRUE(window->tvCodeBrowser()->isHidden());

    Settings().codeBrowserDisabled = false;
    window->ApplyCodeBrowserSetting();
    EXPECT_FALSE(window->tvCodeBrowser()->isHidden());
}

TEST_F(MainWindowTest, MainMenuHoldsItsMenusAndItemsInOrder) {
    auto window = MakeWindow();
    const QMenuBar* bar = window->menuBar();
    EXPECT_EQ(bar->objectName(), "mmMain");
    QStringList titles;
    for (const QAction* menu : bar->actions()) titles << menu->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "&Configure", "&Tools", "&Help"}));

    struct MenuRow {
        const char* menu;
        QStringList entries;
    };
    const MenuRow menus[] = {
        {"miFile", {"acUpdate", "acUpdateAndFocus", "acFocusCommence", "|", "miExit"}},
        {"miEdit",
         {"miUndo", "miRedo", "|", "miCut", "miCopy", "miPaste", "miSelectAll", "|",
          "miFindReplace", "miFindNext", "miFindPrevious"}},
        {"miConfigure", {"miConfigEditor", "miConfigFilterBuilder", "miConfigCodeBrowser"}},
        {"miTools", {"acFilterBuilder", "acShowChecksum"}},
        {"miHelp", {"miSyntaxHelp", "|", "miAbout"}},
    };
    for (const MenuRow& row : menus) {
        SCOPED_TRACE(row.menu);
        const QMenu* menu = Find<QMenu>(*window, row.menu);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(Entries(*menu), row.entries);
    }

    struct ItemRow {
        const char* name;
        const char* caption;
        const char* shortcut;
    };
    const ItemRow items[] = {
        {"miExit", "E&xit", ""},
        {"miUndo", "&Undo", "Ctrl+Z"},
        {"miRedo", "&Redo", "Ctrl+Y"},
        {"miCut", "Cu&t", "Ctrl+X"},
        {"miCopy", "&Copy", "Ctrl+C"},
        {"miPaste", "&Paste", "Ctrl+V"},
        {"miSelectAll", "Select &All", "Ctrl+A"},
        {"miFindReplace", "&Find/Replace", "Ctrl+F"},
        {"miFindNext", "Find &Next", "F3"},
        {"miFindPrevious", "Find Pre&vious", "Shift+F3"},
        {"miConfigEditor", "&Editor", ""},
        {"miConfigFilterBuilder", "&Filter Builder", ""},
        {"miConfigCodeBrowser", "&Code Browser", ""},
        {"miSyntaxHelp", "Syntax Help", "F1"},
        {"miAbout", "&About", ""},
    };
    for (const ItemRow& row : items) {
        SCOPED_TRACE(row.name);
        const QAction* item = Find<QAction>(*window, row.name);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), QString::fromLatin1(row.caption));
        EXPECT_EQ(item->shortcut().toString(QKeySequence::PortableText),
                  QString::fromLatin1(row.shortcut));
    }
}

TEST_F(MainWindowTest, EditorContextMenuOffersTheEditingItemsAndGotoLineNumber) {
    auto window = MakeWindow();
    const QMenu* menu = Find<QMenu>(*window, "pmScript");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Entries(*menu),
              QStringList({"miUndo", "miRedo", "|", "miCut", "miCopy", "miPaste", "miDelete", "|",
                           "miSelectAll", "|", "miFindReplace", "miGoto"}));
    const QAction* remove = Find<QAction>(*menu, "miDelete");
    ASSERT_NE(remove, nullptr);
    EXPECT_EQ(remove->text(), "&Delete");
    EXPECT_EQ(remove->shortcut(), QKeySequence(QKeySequence::Delete));
    const QMenu* go = Find<QMenu>(*menu, "miGoto");
    ASSERT_NE(go, nullptr);
    EXPECT_EQ(go->title(), "&Goto...");
    ASSERT_EQ(go->actions().size(), 1);
    EXPECT_EQ(go->actions()[0]->text(), "&Line number");
}

TEST_F(MainWindowTest, ToolbarsDockAtTheTopWithTheirButtonsInOrder) {
    auto window = MakeWindow();
    struct BarRow {
        const char* name;
        const char* caption;
        QStringList entries;
    };
    const BarRow bars[] = {
        {"tbStandard",
         "Standard",
         {"acFocusCommence", "|", "acUpdateAndFocus", "acUpdate", "acSaveToDisk", "|",
          "acPrintScript"}},
        {"tbCodeLayout", "Code", {"acIndentBlock", "acUnindentBlock", "|", "acSetNextBookmark"}},
        {"tbDatabase", "Database", {"tbbDatabases", "|", "tbbCategories", "|", "tbbForms"}},
    };
    for (const BarRow& row : bars) {
        SCOPED_TRACE(row.name);
        QToolBar* bar = Find<QToolBar>(*window, row.name);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->windowTitle(), QString::fromLatin1(row.caption));
        EXPECT_EQ(Entries(*bar), row.entries);
        EXPECT_EQ(window->toolBarArea(bar), Qt::TopToolBarArea);
        EXPECT_TRUE(bar->isMovable());
        EXPECT_EQ(bar->allowedAreas(), Qt::TopToolBarArea | Qt::BottomToolBarArea);
    }

    QToolBar* code = Find<QToolBar>(*window, "tbCodeLayout");
    auto* bookmark =
        qobject_cast<QToolButton*>(code->widgetForAction(window->Actions().acSetNextBookmark));
    ASSERT_NE(bookmark, nullptr);
    EXPECT_EQ(bookmark->popupMode(), QToolButton::MenuButtonPopup);
    EXPECT_EQ(window->Actions().acSetNextBookmark->menu(), Find<QMenu>(*window, "pmBookmarks"));

    // Print shows on the toolbar but is never enabled.
    QAction* print = window->Actions().acPrintScript;
    ASSERT_NE(window->Toolbars().tbStandard->widgetForAction(print), nullptr);
    EXPECT_FALSE(window->Toolbars().tbStandard->widgetForAction(print)->isEnabled());
}

TEST_F(MainWindowTest, DatabaseButtonsCarryTheirMenusAndFollowTheirActions) {
    auto window = MakeWindow();
    struct ButtonRow {
        const char* button;
        const char* menu;
        const char* caption;
        bool enabled;
    };
    const ButtonRow rows[] = {
        {"tbbDatabases", "pmDatabases", "Databases", true},
        {"tbbCategories", "pmCategories", "Categories", false},
        {"tbbForms", "pmForms", "Forms", false},
    };
    for (const ButtonRow& row : rows) {
        SCOPED_TRACE(row.button);
        const QToolButton* button = Find<QToolButton>(*window, row.button);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromLatin1(row.caption));
        EXPECT_EQ(button->menu(), Find<QMenu>(*window, row.menu));
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
        EXPECT_EQ(button->minimumWidth(), 78);
        EXPECT_GE(button->maximumWidth(), button->sizeHint().width()) << "caption cut";
        EXPECT_EQ(button->isEnabled(), row.enabled);
    }

    // The editing context names the chosen category on its button; enabling
    // the action must not put "Categories" back.
    QToolButton* categories = window->Toolbars().tbbCategories;
    categories->setText("Account");
    window->Actions().acLoadCategories->setEnabled(true);
    EXPECT_TRUE(categories->isEnabled());
    EXPECT_EQ(categories->text(), "Account");
}

}  // namespace
}  // namespace vk::test
