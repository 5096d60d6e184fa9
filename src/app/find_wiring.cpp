#include "app/find_wiring.h"

#include <QAction>
#include <QLineEdit>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "browser/code_browser.h"
#include "common/messages.h"
#include "editor/find_dialog.h"
#include "editor/find_replace.h"
#include "editor/goto_line.h"
#include "editor/line_jump.h"
#include "editor/position_readout.h"
#include "editor/script_editor.h"
#include "settings/settings.h"

namespace vk {
namespace {

constexpr std::string_view kLinePrompt = "Go to line number";

// `miFindReplaceClick`: the dialog is modeless and keeps its texts between
// uses.
void miFindReplaceClick(TfFindReplace& dialog) {
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    dialog.edFindText()->setFocus();
    dialog.edFindText()->selectAll();
}

}  // namespace

void miLineNumberClick(TfMain& main) {
    ScriptEditor& editor = *main.reScript();
    // Ctrl+G reaches here also before a script is open; the context menu
    // of the disabled editor would not.
    if (!editor.isEnabled()) return;
    std::string answer;
    if (!main.Messages().Input(kMessageTitle, kLinePrompt, answer)) return;
    const LineNumberAnswer read = ReadLineNumberAnswer(answer, editor.LineCount());
    switch (read.kind) {
        case LineNumberAnswer::Kind::Nothing:
            return;
        case LineNumberAnswer::Kind::Refuse:
            main.Messages().Show(LineNumberRangeMessage(editor.LineCount()), MessageIcon::Warning,
                                 MessageButtons::Ok);
            return;
        case LineNumberAnswer::Kind::Jump:
            GotoLine(editor, read.line, main.Settings().jumpOffset);
            return;
    }
}

void AttachFindAndGoto(TfMain& main, std::function<void(int, int)> recolourLines) {
    ScriptEditor& editor = *main.reScript();
    new TPositionReadout(editor, *main.StatusPanel(2), &main);

    main.CodeBrowser().gotoLine = [&main](int line) {
        GotoLine(*main.reScript(), line, main.Settings().jumpOffset);
    };

    QAction* lineNumber = main.EditorMenu().miGotoLine;
    lineNumber->setShortcut(QKeySequence(QStringLiteral("Ctrl+G")));
    // The context menu is not part of the window; the shortcut works through
    // the window's own copy of the action.
    main.addAction(lineNumber);
    QObject::connect(lineNumber, &QAction::triggered, &main,
                     [&main] { main.RunCommand([&main] { miLineNumberClick(main); }); });

    auto* dialog = new TfFindReplace(&main);
    auto finder = std::make_shared<TFindReplace>(editor, main.Messages());
    QObject::connect(main.MenuItems().miFindReplace, &QAction::triggered, dialog,
                     [dialog] { miFindReplaceClick(*dialog); });
    finder->recolourLines = std::move(recolourLines);
    // dlgReplaceFind and dlgReplaceReplace.
    QObject::connect(dialog, &TfFindReplace::findNext, &main, [&main, dialog, finder] {
        main.RunCommand([&] { (void)finder->FindNext(dialog->Request()); });
    });
    QObject::connect(dialog, &TfFindReplace::replace, &main, [&main, dialog, finder] {
        main.RunCommand([&] { finder->Replace(dialog->Request()); });
    });
    QObject::connect(dialog, &TfFindReplace::replaceAll, &main, [&main, dialog, finder] {
        main.RunCommand([&] { finder->ReplaceAll(dialog->Request()); });
    });
}

}  // namespace vk
