#include "app/editor_commands_wiring.h"

#include <QAction>
#include <QMenu>

#include "app/main_window.h"
#include "editor/block_indenter.h"
#include "editor/bookmarks.h"
#include "editor/goto_line.h"
#include "editor/keep_indentation.h"
#include "editor/line_number_margin.h"
#include "editor/line_recolourer.h"
#include "editor/script_editor.h"
#include "highlight/color_stream.h"
#include "settings/settings.h"

namespace vk {
namespace {

// A command of an action; what it throws goes to the error box.
template <typename Command>
void OnTriggered(TfMain& main, QAction* action, Command command) {
    QObject::connect(action, &QAction::triggered, main.reScript(),
                     [&main, command] { main.RunCommand(command); });
}

}  // namespace

EditorCommands AttachEditorCommands(TfMain& main) {
    EditorCommands commands;
    ScriptEditor& editor = *main.reScript();
    const TColorStream& colours = main.ColorStream();
    commands.recolourer =
        new TLineRecolourer(editor, [&colours]() -> const ClassFonts& { return colours.Fonts(); });

    TBlockIndenter* indenter = new TBlockIndenter(editor, *commands.recolourer, main.Settings());
    commands.indenter = indenter;
    OnTriggered(main, main.Actions().acIndentBlock, [indenter] { indenter->IndentBlock(); });
    OnTriggered(main, main.Actions().acUnindentBlock, [indenter] { indenter->UnindentBlock(); });

    // Bookmark jumps are the editor's one jump, as go to line and the code
    // browser make it.
    const TSettings& settings = main.Settings();
    TBookmarks* bookmarks = new TBookmarks(editor, *commands.recolourer, main.Messages(),
                                           [&editor, &settings](int line) {
                                               GotoLine(editor, line, settings.jumpOffset);
                                               editor.setFocus();
                                           });
    commands.bookmarks = bookmarks;
    OnTriggered(main, main.Actions().acSetNextBookmark,
                [bookmarks] { bookmarks->SetNextBookmark(); });
    QMenu* menu = main.Toolbars().pmBookmarks;
    QObject::connect(menu, &QMenu::aboutToShow, bookmarks,
                     [bookmarks, menu] { bookmarks->FillMenu(*menu); });

    new TKeepIndentation(editor, main.Settings());

    TLineNumberMargin* margin = new TLineNumberMargin(editor, main.Settings());
    commands.lineNumbers = margin;
    // Connected after the window's own handlers, so this runs once the
    // dialog has closed.
    const MainMenuItems& items = main.MenuItems();
    for (QAction* configure : {main.Actions().acShowConfiguration, items.miConfigEditor,
                               items.miConfigFilterBuilder, items.miConfigCodeBrowser})
        QObject::connect(configure, &QAction::triggered, margin, [margin] { margin->Apply(); });
    return commands;
}

}  // namespace vk
