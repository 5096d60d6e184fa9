#include <QCoreApplication>
#include <QTimer>
#include <cstring>

#include "app/application.h"
#include "app/editing_context.h"
#include "app/editor_commands_wiring.h"
#include "app/filter_builder_wiring.h"
#include "app/help_wiring.h"
#include "app/main_window.h"
#include "app/qt_message_service.h"
#include "app/registry_warning.h"
#include "app/start_options.h"
#include "app/validation_wiring.h"
#include "help/syntax_list.h"
#include "history/history_recorder.h"
#include "history/history_settings.h"
#include "history/recovery_folder.h"
#include "history/ui/recovery_offer.h"
#include "history/ui/script_keeper.h"
#include "platform/registry.h"
#include "platform/temp_files.h"
#include "settings/settings.h"

namespace {

// --help answers without a display: the window system is not needed for it.
bool AsksForHelp(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        for (const char* help : {"--help", "-h", "-?", "--help-all"})
            if (std::strcmp(argv[i], help) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (AsksForHelp(argc, argv)) {
        const QCoreApplication console(argc, argv);
        (void)vk::ParseStartOptions(QCoreApplication::arguments());  // prints the help, exits
    }
    // A session ended by a signal leaves no checked-out script in the temp
    // folder; what a kill -9 left is removed once it is old enough that no
    // other session still works on it.
    vk::TempFiles::RemoveOnTerminationSignals();
    (void)vk::TempFiles::RemoveStale("VBS", vk::kStaleTempFileAge);
    vk::VellumkitApplication app(argc, argv);
    const vk::StartOptions options = vk::ParseStartOptions(vk::VellumkitApplication::arguments());
    vk::TSettings settings(vk::Registry::Instance());
    const vk::TSyntaxList helpIndex = vk::LoadHelpTopicIndex(vk::Registry::Instance());
    vk::QtMessageService messages;
    app.SetErrorService(&messages);
    vk::TfMain window(settings, messages);
    vk::AttachEditorCommands(window);
    // Every script stored into Commence is kept in the local history; one it
    // cannot keep is a warning, never a failed check-in.
    vk::HistoryRecorder history(
        vk::HistoryStore::DefaultFile(), vk::HistoryLimitsFrom(settings),
        [&window](const std::string& warning) { window.AddWarning(warning); });
    const vk::ScopedCheckInRecorder recording(history);
    // The editing context wires itself to the window's actions, menus and
    // requests; it goes before the window it works on.
    vk::TEditingContext context(window, window.ColorStream());
    // The base, history and recovery file of the script in the editor.
    const std::filesystem::path recoveryFolder = vk::RecoveryFolder::Default();
    vk::TScriptKeeper& keeper = vk::AttachScriptKeeper(window, context, history, recoveryFolder);
    const auto validation = vk::AttachValidation(window, context);
    vk::AttachSyntaxHelp(window, helpIndex);
    vk::AttachFilterBuilder(window, context);
    messages.SetParent(&window);
    window.show();
    // From the running loop, so that the window is drawn behind the warning
    // and a database named on the command line still opens while it stands.
    QTimer::singleShot(0, &window,
                       [&] { vk::WarnOfUnreadableRegistry(vk::Registry::Instance(), messages); });
    // Once the window is up, so that a message has it as its parent: first
    // the changes an editor that crashed left unsaved, then the form asked for.
    QTimer::singleShot(0, &context, [&] {
        if (vk::OfferRecovery(window, context, keeper, recoveryFolder)) return;
        if (!options.database.empty())
            context.OpenSelection(options.database, options.category, options.form);
    });
    return app.exec();
}
