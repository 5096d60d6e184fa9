#include "history/ui/diff_view.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include "document/script_lines.h"
#include "editor/ansi_text.h"

namespace vk {
namespace {

QColor Tint(CellState state) {
    switch (state) {
        case CellState::Changed:
            return {0xFF, 0xF1, 0xB8};
        case CellState::Conflict:
            return {0xFF, 0xC8, 0xC8};
        case CellState::Missing:
            return {0xE4, 0xE4, 0xE4};
        case CellState::Same:
            break;
    }
    return {};
}

// Rows where some cell is not Same, counted as changes: a run of such rows
// is one change.
int CountChanges(const AlignedRows& rows) {
    int changes = 0;
    bool inChange = false;
    for (const auto& row : rows.rows) {
        bool changed = false;
        for (const AlignedCell& cell : row) changed = changed || cell.state != CellState::Same;
        if (changed && !inChange) ++changes;
        inChange = changed;
    }
    return changes;
}

// Moving one pane's scroll bar moves the others' with it.
void Couple(const std::vector<QScrollBar*>& bars) {
    for (QScrollBar* bar : bars) {
        QObject::connect(bar, &QScrollBar::valueChanged, bar, [bars](int value) {
            for (QScrollBar* other : bars)
                if (other->value() != value) other->setValue(value);
        });
    }
}

}  // namespace

TDiffView::TDiffView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("DiffView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("lbDiffSummary"));
    layout->addWidget(summary_);
    panesArea_ = new QWidget(this);
    new QHBoxLayout(panesArea_);
    panesArea_->layout()->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panesArea_, 1);
}

QPlainTextEdit* TDiffView::Pane(int index) const { return panes_.at(static_cast<size_t>(index)); }

QString TDiffView::Title(int index) const { return titles_.at(static_cast<size_t>(index))->text(); }

std::vector<CellState> TDiffView::RowStates(int pane) const {
    std::vector<CellState> states;
    states.reserve(rows_.rows.size());
    for (const auto& row : rows_.rows) states.push_back(row.at(static_cast<size_t>(pane)).state);
    return states;
}

QString TDiffView::Summary() const { return summary_->text(); }

void TDiffView::MakePanes(int count) {
    if (PaneCount() == count) return;
    for (QLabel* title : titles_) delete title->parentWidget();
    titles_.clear();
    panes_.clear();
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    std::vector<QScrollBar*> vertical, horizontal;
    for (int i = 0; i < count; ++i) {
        auto* column = new QWidget(panesArea_);
        auto* layout = new QVBoxLayout(column);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* title = new QLabel(column);
        title->setObjectName(QStringLiteral("lbPaneTitle%1").arg(i));
        auto* pane = new QPlainTextEdit(column);
        pane->setObjectName(QStringLiteral("mePane%1").arg(i));
        pane->setReadOnly(true);
        pane->setLineWrapMode(QPlainTextEdit::NoWrap);
        pane->setFont(fixed);
        layout->addWidget(title);
        layout->addWidget(pane, 1);
        panesArea_->layout()->addWidget(column);
        titles_.push_back(title);
        panes_.push_back(pane);
        vertical.push_back(pane->verticalScrollBar());
        horizontal.push_back(pane->horizontalScrollBar());
    }
    Couple(vertical);
    Couple(horizontal);
}

void TDiffView::ShowNote(const QString& note) {
    MakePanes(0);
    rows_ = {};
    summary_->setText(note);
}

void TDiffView::ShowTwo(const QString& beforeTitle, std::string_view before,
                        const QString& afterTitle, std::string_view after) {
    std::vector<std::vector<std::string>> texts = {SplitScriptText(before), SplitScriptText(after)};
    AlignedRows rows = AlignTwo(texts[0], texts[1]);
    Show({beforeTitle, afterTitle}, texts, std::move(rows));
}

void TDiffView::ShowThree(std::string_view mine, std::string_view theirs, std::string_view base) {
    std::vector<std::vector<std::string>> texts = {SplitScriptText(mine), SplitScriptText(theirs),
                                                   SplitScriptText(base)};
    AlignedRows rows = AlignThree(texts[0], texts[1], texts[2]);
    Show({QStringLiteral("Mine (this editor)"), QStringLiteral("Theirs (Commence now)"),
          QStringLiteral("Base (as opened)")},
         texts, std::move(rows));
}

void TDiffView::Show(const std::vector<QString>& titles,
                     const std::vector<std::vector<std::string>>& texts, AlignedRows rows) {
    MakePanes(static_cast<int>(titles.size()));
    rows_ = std::move(rows);
    for (std::size_t c = 0; c < panes_.size(); ++c) {
        titles_[c]->setText(titles[c]);
        QString text;
        for (std::size_t r = 0; r < rows_.rows.size(); ++r) {
            if (r > 0) text += QLatin1Char('\n');
            const AlignedCell& cell = rows_.rows[r][c];
            if (cell.state != CellState::Missing) text += FromAnsi(texts[c][cell.line]);
        }
        QPlainTextEdit* pane = panes_[c];
        pane->setPlainText(text);
        QTextCursor cursor(pane->document());
        std::size_t r = 0;
        for (QTextBlock block = pane->document()->begin(); block.isValid() && r < rows_.rows.size();
             block = block.next(), ++r) {
            const CellState state = rows_.rows[r][c].state;
            if (state == CellState::Same) continue;
            cursor.setPosition(block.position());
            QTextBlockFormat format = block.blockFormat();
            format.setBackground(Tint(state));
            cursor.setBlockFormat(format);
        }
        pane->moveCursor(QTextCursor::Start);
    }
    const int changes = CountChanges(rows_);
    summary_->setText(changes == 0   ? QStringLiteral("No differences")
                      : changes == 1 ? QStringLiteral("1 change")
                                     : QStringLiteral("%1 changes").arg(changes));
}

}  // namespace vk
