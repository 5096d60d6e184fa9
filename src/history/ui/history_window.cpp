#include "history/ui/history_window.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "common/exceptions.h"
#include "common/messages.h"
#include "document/script_checksum.h"
#include "editor/ansi_text.h"
#include "editor/script_editor.h"
#include "history/history_store.h"
#include "history/ui/diff_view.h"

namespace vk {
namespace {

enum Column { kVersion, kTime, kSize, kChecksum, kSource, kColumnCount };

QString LocalTime(std::int64_t seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString VersionName(std::int64_t number) { return QStringLiteral("Version %1").arg(number); }

}  // namespace

TfHistory::TfHistory(HistoryStore& store, ScriptEditor& editor, MessageService& messages,
                     Restore restore, QWidget* parent)
    : QDialog(parent),
      store_(store),
      editor_(editor),
      messages_(messages),
      restore_(std::move(restore)) {
    setObjectName(QStringLiteral("fHistory"));
    setWindowTitle(QStringLiteral("History"));
    setModal(false);
    resize(900, 620);
    auto* layout = new QVBoxLayout(this);
    form_label_ = new QLabel(this);
    form_label_->setObjectName(QStringLiteral("lbForm"));
    layout->addWidget(form_label_);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    versions_ = new QTreeWidget(splitter);
    versions_->setObjectName(QStringLiteral("lvVersions"));
    versions_->setColumnCount(kColumnCount);
    versions_->setHeaderLabels({QStringLiteral("Version"), QStringLiteral("Time"),
                                QStringLiteral("Size"), QStringLiteral("Checksum"),
                                QStringLiteral("Source")});
    versions_->setRootIsDecorated(false);
    versions_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    versions_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    differences_ = new TDiffView(splitter);
    differences_->ShowNote(
        QStringLiteral("Select two versions and Compare them, or one and compare it with the "
                       "editor's text or restore it into the editor."));
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    auto* buttons = new QHBoxLayout;
    const auto add = [&](const char* name, const QString& caption) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        buttons->addWidget(button);
        return button;
    };
    btCompare_ = add("btCompare", QStringLiteral("&Compare"));
    btCompareWithEditor_ = add("btCompareWithEditor", QStringLiteral("Compare with &editor"));
    btRestore_ = add("btRestore", QStringLiteral("&Restore into editor"));
    buttons->addStretch(1);
    QPushButton* close = add("btClose", QStringLiteral("Close"));
    layout->addLayout(buttons);

    connect(versions_, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(versions_, &QTreeWidget::itemDoubleClicked, this,
            [this] { Run([this] { CompareWithEditor(); }); });
    connect(btCompare_, &QPushButton::clicked, this, [this] { Run([this] { Compare(); }); });
    connect(btCompareWithEditor_, &QPushButton::clicked, this,
            [this] { Run([this] { CompareWithEditor(); }); });
    connect(btRestore_, &QPushButton::clicked, this,
            [this] { Run([this] { RestoreSelected(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    UpdateButtons();
}

void TfHistory::Run(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        messages_.ShowError(e.what());
    }
}

void TfHistory::SetForm(std::optional<FormLocation> form) {
    form_ = std::move(form);
    Refresh();
}

void TfHistory::Refresh() {
    versions_->clear();
    if (!form_) {
        form_label_->setText(QStringLiteral("No script is open."));
        UpdateButtons();
        return;
    }
    form_label_->setText(
        QStringLiteral("Versions of the script of \"%1\" (category \"%2\", "
                       "database \"%3\") kept on this computer:")
            .arg(FromAnsi(form_->form), FromAnsi(form_->category), FromAnsi(form_->database)));
    Run([this] {
        std::vector<HistoryVersion> versions = store_.Versions(*form_);
        std::reverse(versions.begin(), versions.end());
        for (const HistoryVersion& v : versions) {
            auto* item = new QTreeWidgetItem(versions_);
            item->setText(kVersion, QString::number(v.number));
            item->setData(kVersion, Qt::UserRole, QVariant::fromValue<qint64>(v.number));
            item->setText(kTime, LocalTime(v.time));
            item->setText(kSize, QString::number(v.size));
            item->setTextAlignment(kSize, Qt::AlignRight | Qt::AlignVCenter);
            item->setText(kChecksum, QString::fromStdString(FormatChecksum(v.checksum)));
            item->setText(kSource, QString::fromUtf8(SourceName(v.source)));
        }
    });
    UpdateButtons();
}

std::vector<std::int64_t> TfHistory::ListedNumbers() const {
    std::vector<std::int64_t> numbers;
    for (int i = 0; i < versions_->topLevelItemCount(); ++i)
        numbers.push_back(versions_->topLevelItem(i)->data(kVersion, Qt::UserRole).toLongLong());
    return numbers;
}

std::vector<std::int64_t> TfHistory::SelectedNumbers() const {
    std::vector<std::int64_t> numbers;
    for (const QTreeWidgetItem* item : versions_->selectedItems())
        numbers.push_back(item->data(kVersion, Qt::UserRole).toLongLong());
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void TfHistory::UpdateButtons() {
    const std::size_t selected = SelectedNumbers().size();
    btCompare_->setEnabled(selected == 2);
    btCompareWithEditor_->setEnabled(selected == 1 && editor_.isEnabled());
    btRestore_->setEnabled(selected == 1 && editor_.isEnabled());
}

std::string TfHistory::TextOf(std::int64_t number) {
    std::optional<std::string> text = store_.Text(*form_, number);
    if (!text)
        throw Exception("Version " + std::to_string(number) + " is no longer in the local history");
    return std::move(*text);
}

void TfHistory::Compare() {
    const std::vector<std::int64_t> numbers = SelectedNumbers();
    if (numbers.size() != 2 || !form_) return;
    differences_->ShowTwo(VersionName(numbers[0]), TextOf(numbers[0]), VersionName(numbers[1]),
                          TextOf(numbers[1]));
}

void TfHistory::CompareWithEditor() {
    const std::vector<std::int64_t> numbers = SelectedNumbers();
    if (numbers.size() != 1 || !form_ || !editor_.isEnabled()) return;
    differences_->ShowTwo(VersionName(numbers[0]), TextOf(numbers[0]), QStringLiteral("Editor"),
                          editor_.CanonicalText());
}

void TfHistory::RestoreSelected() {
    const std::vector<std::int64_t> numbers = SelectedNumbers();
    if (numbers.size() != 1 || !form_ || !editor_.isEnabled()) return;
    restore_(TextOf(numbers[0]), numbers[0]);
}

}  // namespace vk
