#pragma once

#include <QObject>
#include <filesystem>
#include <optional>
#include <string>

#include "commence/form_location.h"
#include "history/script_base.h"
#include "history/script_watch.h"

class QAction;

namespace vk {

class HistoryRecorder;
class TEditingContext;
class TfHistory;
class TfMain;
class TRecoveryWriter;
struct RecoveryRecord;

// What the editor knows of the script it shows beyond its text: the base
// (what Commence held when it was opened, or last stored), checked before
// every check-in so that a change made in Commence meanwhile is never
// overwritten unasked ("Changed in Commence"); the local history of the
// form, recorded on opening and shown in the History window (Tools menu);
// and the recovery file of its unsaved changes.
class TScriptKeeper : public QObject, public ScriptWatch {
    Q_OBJECT
public:
    // Conflict markers name the sides so.
    static constexpr const char* kMineLabel = "mine (this editor)";
    static constexpr const char* kBaseLabel = "base (as opened)";
    static constexpr const char* kTheirsLabel = "Commence";

    // A child of `main`.
    TScriptKeeper(TfMain& main, HistoryRecorder& history,
                  const std::filesystem::path& recoveryFolder);
    ~TScriptKeeper() override;

    void ScriptOpened(const FormLocation& form, const std::string& script) override;
    bool MayCheckIn(const FormLocation& form, CheckInGuard& guard) override;
    void ScriptStored(const FormLocation& form, const std::string& script) override;
    void ScriptClosed() override;

    // Whether the editor shows `form`'s script (names compared as Commence
    // compares them).
    [[nodiscard]] bool Shows(const FormLocation& form) const;
    // Puts unsaved changes a crashed editor left into the editor, which must
    // show their form: their text as an edit, and their base as the base,
    // so a change Commence took since is caught at the check-in. False when
    // they could not be kept in this editor's own recovery file.
    [[nodiscard]] bool Restore(const RecoveryRecord& record);

    [[nodiscard]] const std::optional<ScriptBase>& Base() const { return base_; }
    [[nodiscard]] TRecoveryWriter& Recovery() const { return *recovery_; }
    // Tools > History; enabled while a script is open.
    [[nodiscard]] QAction* acShowHistory() const { return acShowHistory_; }
    // The History window, made when first shown.
    [[nodiscard]] TfHistory* HistoryWindow() const { return historyWindow_; }
    void ShowHistory();

private:
    void Merge(const FormLocation& form, const std::string& mine, const std::string& theirs);
    // Replaces the editor's text as one undoable edit; `unsaved` leaves the
    // editor modified even when the text came out the same.
    void PutIntoEditor(const std::string& text, bool unsaved);
    void FormChanged();
    [[nodiscard]] bool ConfirmConflictMarkers();

    TfMain& main_;
    HistoryRecorder& history_;
    std::optional<FormLocation> form_;
    std::optional<ScriptBase> base_;
    TRecoveryWriter* recovery_ = nullptr;
    QAction* acShowHistory_ = nullptr;
    TfHistory* historyWindow_ = nullptr;
};

// Makes the keeper of the main window's script, owned by the window, and
// has the editing context tell it what becomes of the script.
TScriptKeeper& AttachScriptKeeper(TfMain& main, TEditingContext& context, HistoryRecorder& history,
                                  const std::filesystem::path& recoveryFolder);

}  // namespace vk
