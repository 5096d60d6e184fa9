#include "history/ui/recovery_offer.h"

#include "app/editing_context.h"
#include "app/main_window.h"
#include "commence/transfer.h"
#include "common/messages.h"
#include "history/recovery_folder.h"
#include "history/ui/recovery_dialog.h"
#include "history/ui/script_keeper.h"
#include "settings/settings.h"

namespace vk {

bool OfferRecovery(TfMain& main, TEditingContext& context, TScriptKeeper& keeper,
                   const std::filesystem::path& folder) {
    std::vector<RecoveryOrphan> orphans = FindRecoveryOrphans(
        folder, [&main](const std::string& report) { main.AddWarning(report); });
    for (RecoveryOrphan& orphan : orphans) {
        const RecoveryRecord& record = orphan.Record();
        std::optional<std::string> now;
        std::string unreadable;
        try {
            now = ScriptTransfer(main.Settings().registry(), main).CheckOut(record.form);
        } catch (const std::exception& e) {
            unreadable = e.what();
        }
        TfRecoverScript dialog(record, now, unreadable, &main);
        switch (dialog.Ask()) {
            case TfRecoverScript::Choice::Restore:
                context.OpenSelection(record.form.database, record.form.category, record.form.form);
                if (!keeper.Shows(record.form)) {
                    main.Messages().Show(
                        "The form " + record.form.form +
                            " could not be opened. Its unsaved changes are kept and offered "
                            "again at the next start.",
                        MessageIcon::Warning, MessageButtons::Ok);
                    return false;
                }
                // Once this editor's own recovery file holds them, the old
                // one may go; until then it stays.
                if (keeper.Restore(record)) orphan.Discard();
                return true;
            case TfRecoverScript::Choice::Discard:
                if (main.Messages().Show(
                        "Throw away the unsaved changes to " + record.form.form + " for good?",
                        MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes)
                    orphan.Discard();
                break;
            case TfRecoverScript::Choice::Later:
                break;
        }
    }
    return false;
}

}  // namespace vk
