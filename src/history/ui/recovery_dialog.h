#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QLabel;

namespace vk {

class TDiffView;
struct RecoveryRecord;

// Offers unsaved changes an editor left behind when it crashed or was
// killed: the form, when they were last kept, and side by side what Commence
// holds now and the changes. Escape and the close box are "Not now".
class TfRecoverScript : public QDialog {
    Q_OBJECT
public:
    enum class Choice { Restore, Discard, Later };

    // `commenceNow`: the form's script as Commence holds it now, or nothing,
    // and then `unreadable` says why; the changes are then shown against
    // the script as it was opened.
    TfRecoverScript(const RecoveryRecord& record, const std::optional<std::string>& commenceNow,
                    const std::string& unreadable, QWidget* parent = nullptr);

    [[nodiscard]] Choice Ask();
    [[nodiscard]] TDiffView* Differences() const { return differences_; }
    [[nodiscard]] QString Explanation() const;

private:
    QLabel* explanation_ = nullptr;
    TDiffView* differences_ = nullptr;
    Choice choice_ = Choice::Later;
};

}  // namespace vk
