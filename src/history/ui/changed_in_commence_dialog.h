#pragma once

#include <QDialog>
#include <string>

#include "commence/form_location.h"

class QPushButton;

namespace vk {

class TDiffView;

// "Changed in Commence": asked before a check-in when the script Commence
// holds is no longer the one the editor opened. Show differences opens mine,
// theirs and the base side by side below the question; Merge, Overwrite and
// Cancel end it. Escape and the close box are Cancel.
class TfChangedInCommence : public QDialog {
    Q_OBJECT
public:
    enum class Choice { Merge, Overwrite, Cancel };

    // Texts are Windows-1252 bytes.
    TfChangedInCommence(const FormLocation& form, std::string mine, std::string theirs,
                        std::string base, QWidget* parent = nullptr);

    // Shows the dialog modally and returns the user's choice.
    [[nodiscard]] Choice Ask();

    [[nodiscard]] TDiffView* Differences() const { return differences_; }

private:
    void ToggleDifferences();
    void Choose(Choice choice);

    std::string mine_, theirs_, base_;
    Choice choice_ = Choice::Cancel;
    TDiffView* differences_ = nullptr;
    QPushButton* btShowDifferences_ = nullptr;
};

}  // namespace vk
