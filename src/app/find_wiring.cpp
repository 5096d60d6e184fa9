#include "app/find_wiring.h"

#include <QAction>
#include <QLineEdit>
#include <QRect>
#include <memory>
#include <string>

#include "app/keep_clear.h"
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

// Where a match stands on the screen: from its first character to its last,
// the height of its lines.
QRect MatchArea(const ScriptEditor& editor, int start, int length) {
    const auto point = [&editor](int pos) {
        const auto at = static_cast<unsigned long>(pos);
        return QPoint(static_cast<int>(editor.SendScintilla(
                          QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, static_cast<long>(at))),
                      static_cast<int>(editor.SendScintilla(
                          QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, static_cast<long>(at))));
    };
    const int lineHeight = static_cast<int>(editor.SendScintilla(
        QsciScintillaBase::SCI_TEXTHEIGHT, static_cast<unsigned long>(editor.LineFromChar(start))));
    const QPoint first = point(start);
    const QPoint last = point(start + length);
    QRect area = last.y() == first.y()
                     ? QRect(first, QPoint(last.x(), first.y() + lineHeight - 1))
                     // Over a line end: the whole width of the lines.
                     : QRect(QPoint(0, first.y()),
                             QPoint(editor.viewport()->width(), last.y() + lineHeight - 1));
    return QRect(editor.viewport()->mapToGlobal(area.topLeft()), area.size());
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
    // The dialog and the questions about a match stay off it, so the user
    // sees what is asked about.
    finder->matchShown = [&main, &editor, dialog](int start, int length) {
        const QRect area = MatchArea(editor, start, length);
        if (dialog->isVisible()) MoveWindowOffArea(*dialog, area);
        main.Messages().KeepClear(ToScreenArea(area));
    };
    // Each search is one command; the area is the match's for its questions
    // only.
    const auto search = [&main](const std::function<void()>& command) {
        main.RunCommand(command);
        main.Messages().KeepClear(std::nullopt);
    };
    // dlgReplaceFind and dlgReplaceReplace.
    QObject::connect(dialog, &TfFindReplace::findNext, &main, [search, dialog, finder] {
        search([&] { (void)finder->FindNext(dialog->Request()); });
    });
    QObject::connect(dialog, &TfFindReplace::replace, &main, [search, dialog, finder] {
        search([&] { finder->Replace(dialog->Request()); });
    });
    QObject::connect(dialog, &TfFindReplace::replaceAll, &main, [search, dialog, finder] {
        search([&] { finder->ReplaceAll(dialog->Request()); });
    });

    // F3 and Shift+F3: the dialog's search again, without the dialog. With
    // nothing to search for yet, the dialog opens to ask.
    const auto again = [&editor, search, dialog, finder](bool forward) {
        if (!editor.isEnabled()) return;
        const FindRequest request = dialog->Request();
        if (request.findText.empty()) {
            miFindReplaceClick(*dialog);
            return;
        }
        search([&] {
            if (forward)
                (void)finder->FindNext(request);
            else
                (void)finder->FindPrevious(request);
        });
    };
    QObject::connect(main.MenuItems().miFindNext, &QAction::triggered, dialog,
                     [again] { again(true); });
    QObject::connect(main.MenuItems().miFindPrevious, &QAction::triggered, dialog,
                     [again] { again(false); });
}

}  // namespace vk
