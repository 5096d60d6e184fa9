#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "commence/form_location.h"

namespace vk {

class RecoverySession;
class ScriptEditor;

// Keeps the editor's unsaved changes in this editor's recovery file, so a
// crash or a kill loses at most the last moments of typing: the file is
// written every `interval` while there are changes it does not hold yet, and
// once typing pauses for kIdleAfterTyping. When nothing is unsaved (a
// check-in, an undo back to the stored text, another script opened, a normal
// end) the file goes.
class TRecoveryWriter : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kIdleAfterTyping{1500};
    using Warn = std::function<void(const std::string&)>;

    TRecoveryWriter(ScriptEditor& editor, std::filesystem::path folder,
                    std::chrono::seconds interval, Warn warn, QObject* parent = nullptr);
    ~TRecoveryWriter() override;

    // The script the editor now shows and what Commence held when it was
    // opened; nothing: no script is open. Drops the file of the one before.
    void Follow(std::optional<FormLocation> form, std::string base);
    // What Commence holds changed under the editor (a merge, a restore).
    void SetBase(std::string base);

    // Brings the file up to date now: written when there are unsaved
    // changes, removed when there are none. False when the changes could
    // not be written (the warning is given).
    bool WriteNow();
    // Nothing is unsaved any more: the file goes.
    void Forget();

    // The file of this editor; empty until the first write.
    [[nodiscard]] std::filesystem::path File() const;

signals:
    // A record was written (tests follow the writes).
    void written();

private:
    void Changed();
    void Tick();

    ScriptEditor& editor_;
    std::filesystem::path folder_;
    Warn warn_;
    std::optional<FormLocation> form_;
    std::string base_;
    std::unique_ptr<RecoverySession> session_;
    bool dirty_ = false;
    bool warned_ = false;
    QTimer periodic_;
    QTimer idle_;
};

}  // namespace vk
