#pragma once

#include <QDialog>

#include "editor/find_replace.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vk {

// The modeless find and replace dialog `dlgReplace`: it stays open while the
// user edits the script. It always searches downward, so it has no direction
// buttons. Its buttons only signal; the owner runs the search.
class TfFindReplace : public QDialog {
    Q_OBJECT
public:
    explicit TfFindReplace(QWidget* parent = nullptr);

    // The texts (as Windows-1252) and options as the dialog shows them.
    [[nodiscard]] FindRequest Request() const;

    QLineEdit* edFindText() const { return edFindText_; }
    QLineEdit* edReplaceText() const { return edReplaceText_; }
    QCheckBox* xbMatchCase() const { return xbMatchCase_; }
    QCheckBox* xbWholeWord() const { return xbWholeWord_; }
    QCheckBox* xbWrapAround() const { return xbWrapAround_; }
    QCheckBox* xbRegex() const { return xbRegex_; }
    QPushButton* btFindNext() const { return btFindNext_; }
    QPushButton* btReplace() const { return btReplace_; }
    QPushButton* btReplaceAll() const { return btReplaceAll_; }

signals:
    void findNext();
    void replace();
    void replaceAll();

private:
    void UpdateButtons();

    QLineEdit* edFindText_ = nullptr;
    QLineEdit* edReplaceText_ = nullptr;
    QCheckBox* xbMatchCase_ = nullptr;
    QCheckBox* xbWholeWord_ = nullptr;
    QCheckBox* xbWrapAround_ = nullptr;
    QCheckBox* xbRegex_ = nullptr;
    QPushButton* btFindNext_ = nullptr;
    QPushButton* btReplace_ = nullptr;
    QPushButton* btReplaceAll_ = nullptr;
};

}  // namespace vk
