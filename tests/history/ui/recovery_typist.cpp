// A real editor for the tests to kill: it opens the typist's form against
// the Commence-compatible server of the environment it is given (the
// registry, the runtime and the data folders), pads the script, and types
// at its end key by key, as a user does, telling on standard output after
// each write of its recovery file how many keys it had typed:
//
//   opened <bytes of the padded script>
//   written <keys>
//
// Arguments: the padding lines, then "kill" (type until killed) or "close"
// (after three writes, close the window as a user does, answering "No" to
// "Save changes first ?", and end normally).
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/editing_context.h"
#include "app/main_window.h"
#include "editor/script_editor.h"
#include "history/history_recorder.h"
#include "history/history_settings.h"
#include "history/recovery_folder.h"
#include "history/ui/recovery_writer.h"
#include "history/ui/script_keeper.h"
#include "platform/registry.h"
#include "settings/settings.h"
#include "support/recording_message_service.h"
#include "typist_script.h"

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: recovery_typist PADDING_LINES kill|close\n");
        return 2;
    }
    const int paddingLines = std::atoi(argv[1]);
    const bool closeAfterWrites = std::string(argv[2]) == "close";
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    vk::TSettings settings(vk::Registry::Instance());
    vk::test::RecordingMessageService messages;
    messages.defaultAnswer = vk::MessageAnswer::No;
    vk::TfMain window(settings, messages);
    vk::HistoryRecorder history(vk::HistoryStore::DefaultFile(), vk::HistoryLimitsFrom(settings),
                                [](const std::string&) {});
    vk::TEditingContext context(window, window.ColorStream());
    vk::TScriptKeeper& keeper =
        vk::AttachScriptKeeper(window, context, history, vk::RecoveryFolder::Default());
    window.show();

    context.OpenSelection(vk::test::kTypistDatabase, vk::test::kTypistCategory,
                          vk::test::kTypistForm);
    vk::ScriptEditor& editor = *window.reScript();
    if (!editor.isEnabled()) {
        std::fprintf(stderr, "the form did not open\n");
        return 1;
    }
    editor.ReplaceText(editor.Text() + vk::test::TypistPadding(paddingLines));
    editor.SetCaret(editor.TextLength());
    std::printf("opened %d\n", editor.TextLength());
    std::fflush(stdout);

    int typed = 0;
    int writes = 0;
    QObject::connect(&keeper.Recovery(), &vk::TRecoveryWriter::written, [&] {
        std::printf("written %d\n", typed);
        std::fflush(stdout);
        if (closeAfterWrites && ++writes == 3)
            QTimer::singleShot(0, &window, [&] { window.close(); });
    });
    QTimer typist;
    QObject::connect(&typist, &QTimer::timeout, [&] {
        const char key = vk::test::TypistKey(typed);
        if (key == '\r')
            QTest::keyClick(&editor, Qt::Key_Return);
        else
            QTest::keyClick(&editor, key);
        ++typed;
    });
    typist.start(15);
    return app.exec();
}
