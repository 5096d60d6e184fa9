#include "app/code_browser_wiring.h"

#include <QCoreApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include "app/main_window.h"
#include "browser/code_browser.h"
#include "editor/ansi_text.h"
#include "editor/script_editor.h"

namespace vk {
namespace {

// Takes the last line equal to `text` out of the warnings memo; the other
// lines (from the load, say) stay.
void RemoveWarningLine(QPlainTextEdit& memo, std::string_view text) {
    const QString line = FromAnsi(text);
    for (QTextBlock block = memo.document()->lastBlock(); block.isValid();
         block = block.previous()) {
        if (block.text() != line) continue;
        QTextCursor cursor(block);
        cursor.select(QTextCursor::BlockUnderCursor);
        if (block.blockNumber() == 0) {
            // The first line has no line break before it: take the one after.
            cursor.movePosition(QTextCursor::StartOfBlock);
            cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
            if (cursor.selectedText().isEmpty())
                cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        }
        cursor.removeSelectedText();
        return;
    }
}

}  // namespace

std::unique_ptr<TCodeBrowser> AttachCodeBrowser(TfMain& main) {
    // The rescan runs by itself after typing: its progress must not wipe a
    // message the user has not read yet.
    auto browser = std::make_unique<TCodeBrowser>(
        *main.tvCodeBrowser(), *main.reScript(), main.Settings(), main.BackgroundStatus(),
        [&main](const std::function<void()>& command) { return main.RunCommand(command); });
    TCodeBrowser* b = browser.get();
    b->programFolder = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    b->addWarning = [&main](std::string_view text) { main.AddWarning(text); };
    b->removeWarning = [&main](std::string_view text) {
        RemoveWarningLine(*main.meWarnings(), text);
    };
    // A warning of a half-typed line ("Sub " before its name) opened the
    // panel; once the line is complete the empty panel closes again. Lines
    // of others (the load's, say) keep it open.
    b->warningsWithdrawn = [&main] {
        if (main.meWarnings()->toPlainText().isEmpty()) main.HideWarnings();
    };

    // Each edit arms the idle-time rescan; a load rescans at once (the
    // editing context calls ScriptLoaded).
    QObject::connect(main.reScript(), &ScriptEditor::scriptChanged, b,
                     [b] { b->ScheduleRescan(); });

    b->SwitchCodeBrowser();
    return browser;
}

}  // namespace vk
