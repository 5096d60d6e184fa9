#include "history/ui/script_keeper.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

#include "app/editing_context.h"
#include "app/main_window.h"
#include "commence/transfer.h"
#include "common/exceptions.h"
#include "common/messages.h"
#include "common/text_helpers.h"
#include "document/script_lines.h"
#include "editor/script_editor.h"
#include "history/history_recorder.h"
#include "history/recovery_record.h"
#include "history/script_merge.h"
#include "history/ui/changed_in_commence_dialog.h"
#include "history/ui/history_window.h"
#include "history/ui/recovery_writer.h"
#include "settings/settings.h"

namespace vk {
namespace {

// A status message that must outlast the closing "Ready" of the command.
constexpr int kLastingStatusLevel = 2;

}  // namespace

TScriptKeeper::TScriptKeeper(TfMain& main, HistoryRecorder& history,
                             const std::filesystem::path& recoveryFolder)
    : QObject(&main), main_(main), history_(history) {
    setObjectName(QStringLiteral("ScriptKeeper"));
    recovery_ = new TRecoveryWriter(
        *main.reScript(), recoveryFolder, std::chrono::seconds(main.Settings().recoverySeconds),
        [this](const std::string& warning) { main_.AddWarning(warning); }, this);

    acShowHistory_ = new QAction(QStringLiteral("&History"), &main);
    acShowHistory_->setObjectName(QStringLiteral("acShowHistory"));
    acShowHistory_->setStatusTip(QStringLiteral("Versions of this script kept on this computer"));
    acShowHistory_->setToolTip(acShowHistory_->statusTip());
    acShowHistory_->setEnabled(false);
    connect(acShowHistory_, &QAction::triggered, this,
            [this] { main_.RunCommand([this] { ShowHistory(); }); });
    if (auto* tools = main.findChild<QMenu*>(QStringLiteral("miTools"))) {
        tools->addSeparator();
        tools->addAction(acShowHistory_);
    }
}

TScriptKeeper::~TScriptKeeper() = default;

bool TScriptKeeper::Shows(const FormLocation& form) const {
    return form_ && EqualsIgnoringAsciiCase(form_->database, form.database) &&
           EqualsIgnoringAsciiCase(form_->category, form.category) &&
           EqualsIgnoringAsciiCase(form_->form, form.form);
}

void TScriptKeeper::FormChanged() {
    acShowHistory_->setEnabled(form_.has_value());
    if (historyWindow_) historyWindow_->SetForm(form_);
}

void TScriptKeeper::ScriptOpened(const FormLocation& form, const std::string& script) {
    form_ = form;
    base_ = ScriptBase::Of(script);
    history_.Loaded(form, script);
    recovery_->Follow(form, script);
    FormChanged();
}

void TScriptKeeper::ScriptClosed() {
    form_.reset();
    base_.reset();
    recovery_->Follow(std::nullopt, {});
    FormChanged();
}

void TScriptKeeper::ScriptStored(const FormLocation& form, const std::string& script) {
    if (!Shows(form)) return;
    base_ = ScriptBase::Of(script);
    recovery_->SetBase(script);
    recovery_->Forget();
    if (historyWindow_) historyWindow_->Refresh();
}

bool TScriptKeeper::ConfirmConflictMarkers() {
    ScriptEditor& editor = *main_.reScript();
    const std::optional<std::size_t> marker = FirstConflictMarker(SplitScriptText(editor.Text()));
    if (!marker) return true;
    const std::string question =
        "The script still holds a conflict the merge marked (line " + std::to_string(*marker + 1) +
        ").\rCommence would store the marker lines too.\r\rCheck it in anyway?";
    if (main_.Messages().Show(question, MessageIcon::Question, MessageButtons::YesNo) ==
        MessageAnswer::Yes)
        return true;
    editor.SetCaret(editor.LineIndex(static_cast<int>(*marker)));
    editor.ScrollCaretIntoView();
    return false;
}

bool TScriptKeeper::MayCheckIn(const FormLocation& form, CheckInGuard& guard) {
    if (!ConfirmConflictMarkers()) return false;
    if (!base_ || !Shows(form)) return true;
    std::string now;
    try {
        now = ScriptTransfer(main_.Settings().registry(), main_).CheckOut(form);
    } catch (const EDDEFailed& e) {
        // Without a look at Commence's copy nothing is stored: the check-in
        // could not reach it either.
        main_.SetStatus(e.what(), kLinkFailureStatusLevel);
        return false;
    }
    // Whatever is stored now goes over this copy and no other: a check-in
    // that lands between this look and the store is not overwritten.
    guard.basedOn = PrintOf(now);
    if (!ChangedSinceBase(base_->print, now)) return true;
    const std::string mine = main_.reScript()->CanonicalText();
    if (mine == now) {
        // The same change was made on both sides: nothing would be lost.
        base_ = ScriptBase::Of(now);
        return true;
    }
    TfChangedInCommence dialog(form, mine, now, base_->text, &main_);
    switch (dialog.Ask()) {
        case TfChangedInCommence::Choice::Overwrite:
            return true;
        case TfChangedInCommence::Choice::Merge:
            Merge(form, mine, now);
            return false;
        case TfChangedInCommence::Choice::Cancel:
            break;
    }
    return false;
}

void TScriptKeeper::PutIntoEditor(const std::string& text, bool unsaved) {
    ScriptEditor& editor = *main_.reScript();
    editor.ReplaceText(text);
    // Also when the text came out the same, it is not what Commence holds.
    if (unsaved) editor.SetModified(true);
    editor.setFocus();
}

void TScriptKeeper::Merge(const FormLocation& form, const std::string& mine,
                          const std::string& theirs) {
    const ScriptMergeResult merged =
        MergeScripts(base_->text, mine, theirs, {kMineLabel, kBaseLabel, kTheirsLabel});
    // What Commence holds is kept too, for a look back at it.
    history_.Loaded(form, theirs);
    PutIntoEditor(merged.text, true);
    // Their change is in the editor now: theirs is the new base, so the next
    // check-in stores without asking again unless Commence changes once more.
    base_ = ScriptBase::Of(theirs);
    history_.Merged(form, merged.text);
    recovery_->SetBase(theirs);
    (void)recovery_->WriteNow();
    if (historyWindow_) historyWindow_->Refresh();

    ScriptEditor& editor = *main_.reScript();
    if (const auto marker = FirstConflictMarker(SplitScriptText(merged.text))) {
        editor.SetCaret(editor.LineIndex(static_cast<int>(*marker)));
        editor.ScrollCaretIntoView();
    }
    const std::string result =
        merged.conflicts == 0
            ? "The change made in Commence was merged into yours. Nothing is stored yet: "
              "check the script in when it is right."
            : "The change made in Commence was merged into yours. " +
                  std::to_string(merged.conflicts) +
                  (merged.conflicts == 1 ? " place was" : " places were") +
                  " changed on both sides and is marked between \"<<<<<<<\" and \">>>>>>>\" "
                  "lines.\rResolve them, then check the script in.";
    main_.Messages().Show(result, MessageIcon::Information, MessageButtons::Ok);
}

bool TScriptKeeper::Restore(const RecoveryRecord& record) {
    PutIntoEditor(record.text, true);
    base_ = ScriptBase::Of(record.base);
    recovery_->SetBase(record.base);
    return recovery_->WriteNow();
}

void TScriptKeeper::ShowHistory() {
    if (!historyWindow_) {
        historyWindow_ = new TfHistory(
            history_.Store(), *main_.reScript(), main_.Messages(),
            [this](const std::string& text, std::int64_t number) {
                PutIntoEditor(text, false);
                main_.SetStatus("Version " + std::to_string(number) +
                                    " is in the editor; it is stored when you check it in",
                                kLastingStatusLevel);
            },
            &main_);
        historyWindow_->SetForm(form_);
    } else {
        historyWindow_->Refresh();
    }
    historyWindow_->show();
    historyWindow_->raise();
    historyWindow_->activateWindow();
}

TScriptKeeper& AttachScriptKeeper(TfMain& main, TEditingContext& context, HistoryRecorder& history,
                                  const std::filesystem::path& recoveryFolder) {
    auto* keeper = new TScriptKeeper(main, history, recoveryFolder);
    context.SetScriptWatch(keeper);
    return *keeper;
}

}  // namespace vk
