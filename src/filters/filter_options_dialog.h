#pragma once

#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "filters/filter_options.h"

class QAction;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vk {

// Edits a Name or Text filter value as up to ten strings joined by " .OR. "
// (any of them) or " .AND. " (all of them). Made once and kept: the layout
// and the boxes stay between openings, but every opening sets them afresh
// from the value (Prepare). The short layout shows boxes 1-4 and "&More...";
// the long one all ten.
class TfFilterOptions : public QDialog {
    Q_OBJECT
public:
    explicit TfFilterOptions(QWidget* parent = nullptr);

    // Fills the choice and the boxes from a split value, empties the boxes
    // after it, picks the layout by the number of pieces and sets the
    // captions: "Filter <number>" and "<field> <comparison>...".
    void Prepare(const FilterOptionsSplit& split, int filterNumber, const QString& fieldAndCompare);

    [[nodiscard]] FilterJoin Join() const;
    // The boxes' texts, Windows-1252, in order.
    [[nodiscard]] std::vector<std::string> Boxes() const;
    [[nodiscard]] bool IsLongLayout() const { return long_; }

    QAction* acMore() const { return acMore_; }
    QAction* acLess() const { return acLess_; }
    QLineEdit* edOptions(int number) const { return boxes_.at(static_cast<size_t>(number - 1)); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SetLayout(bool longLayout);
    void bMoreClick();

    QGroupBox* rgFilterOptions_ = nullptr;
    QRadioButton* any_ = nullptr;
    QRadioButton* all_ = nullptr;
    std::array<QLineEdit*, kFilterOptionBoxes> boxes_{};
    QPushButton* bMore_ = nullptr;
    QPushButton* bOK_ = nullptr;
    QPushButton* bCancel_ = nullptr;
    QAction* acMore_ = nullptr;
    QAction* acLess_ = nullptr;
    bool long_ = false;
};

}  // namespace vk
