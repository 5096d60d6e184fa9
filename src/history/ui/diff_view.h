#pragma once

#include <QWidget>
#include <string_view>
#include <vector>

#include "history/side_by_side.h"

class QLabel;
class QPlainTextEdit;

namespace vk {

// Versions of a script side by side, their rows lined up: lines that are the
// same share a row, a change is tinted, a conflict is red, and where one
// side has fewer lines in a change its rows are grey. The panes scroll
// together. Texts are Windows-1252 bytes.
class TDiffView : public QWidget {
    Q_OBJECT
public:
    explicit TDiffView(QWidget* parent = nullptr);

    // `before` in the left pane, `after` in the right one.
    void ShowTwo(const QString& beforeTitle, std::string_view before, const QString& afterTitle,
                 std::string_view after);
    // Mine, theirs and the base they both started from, left to right.
    void ShowThree(std::string_view mine, std::string_view theirs, std::string_view base);
    // No versions yet: `note` says how to get some.
    void ShowNote(const QString& note);

    [[nodiscard]] int PaneCount() const { return static_cast<int>(panes_.size()); }
    [[nodiscard]] QPlainTextEdit* Pane(int index) const;
    [[nodiscard]] QString Title(int index) const;
    // The state of each row of a pane, top to bottom.
    [[nodiscard]] std::vector<CellState> RowStates(int pane) const;
    // "No differences", "1 change", "4 changes".
    [[nodiscard]] QString Summary() const;

private:
    void Show(const std::vector<QString>& titles,
              const std::vector<std::vector<std::string>>& texts, AlignedRows rows);
    void MakePanes(int count);

    QLabel* summary_ = nullptr;
    QWidget* panesArea_ = nullptr;
    std::vector<QLabel*> titles_;
    std::vector<QPlainTextEdit*> panes_;
    AlignedRows rows_;
};

}  // namespace vk
