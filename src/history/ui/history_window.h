#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "commence/form_location.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace vk {

class HistoryStore;
class MessageService;
class ScriptEditor;
class TDiffView;

// "History": the versions of the open form's script kept in the local
// history, newest first, with their time, size, checksum and source. Two
// selected versions can be compared, one with the editor's text, and one can
// be put into the editor (an edit like any other: undoable, and stored only
// by the next check-in). Not modal: it follows the form the editor opens.
class TfHistory : public QDialog {
    Q_OBJECT
public:
    // Puts version `number`'s `text` into the editor.
    using Restore = std::function<void(const std::string& text, std::int64_t number)>;

    TfHistory(HistoryStore& store, ScriptEditor& editor, MessageService& messages, Restore restore,
              QWidget* parent = nullptr);

    // The form whose versions are listed; nothing: no script is open.
    void SetForm(std::optional<FormLocation> form);
    // Reads the list again (a version was added).
    void Refresh();

    [[nodiscard]] QTreeWidget* lvVersions() const { return versions_; }
    [[nodiscard]] TDiffView* Differences() const { return differences_; }
    // The version number of each row, top to bottom.
    [[nodiscard]] std::vector<std::int64_t> ListedNumbers() const;

private:
    void UpdateButtons();
    [[nodiscard]] std::vector<std::int64_t> SelectedNumbers() const;
    [[nodiscard]] std::string TextOf(std::int64_t number);
    void Compare();
    void CompareWithEditor();
    void RestoreSelected();
    // Runs a command of the window; an error goes to the error box.
    void Run(const std::function<void()>& command);

    HistoryStore& store_;
    ScriptEditor& editor_;
    MessageService& messages_;
    Restore restore_;
    std::optional<FormLocation> form_;

    QLabel* form_label_ = nullptr;
    QTreeWidget* versions_ = nullptr;
    QPushButton* btCompare_ = nullptr;
    QPushButton* btCompareWithEditor_ = nullptr;
    QPushButton* btRestore_ = nullptr;
    TDiffView* differences_ = nullptr;
};

}  // namespace vk
