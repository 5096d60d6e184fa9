// What the filter builder does when the user acts on it.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <algorithm>
#include <exception>

#include "commence/queries.h"
#include "common/messages.h"
#include "editor/ansi_text.h"
#include "filters/filter_builder.h"
#include "filters/filter_builder_items.h"
#include "filters/filter_options_dialog.h"
#include "settings/settings.h"

namespace vk {
namespace {

using filter_items::LessIgnoringCase;
using filter_items::TaggedItem;
using filter_items::TagOf;

std::vector<FieldListEntry> WithFixedEntries(std::vector<FieldListEntry> entries,
                                             std::initializer_list<FieldListEntry> fixed) {
    entries.insert(entries.end(), fixed);
    return entries;
}

// Fills a list with tagged entries, sorted, and selects the first one without
// running its handler.
void FillSorted(QListWidget& list, const std::vector<FieldListEntry>& entries) {
    const QSignalBlocker quiet(list);
    list.setUpdatesEnabled(false);
    list.setSortingEnabled(false);
    list.clear();
    for (const FieldListEntry& e : entries) list.addItem(new TaggedItem(e.text, e.tag));
    list.setSortingEnabled(true);
    list.sortItems();
    list.setCurrentRow(0);
    list.setUpdatesEnabled(true);
}

void FillSorted(QComboBox& box, std::vector<FieldListEntry> entries) {
    const QSignalBlocker quiet(box);
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return LessIgnoringCase(FromAnsi(a.text), FromAnsi(b.text));
    });
    box.clear();
    for (const FieldListEntry& e : entries) box.addItem(FromAnsi(e.text), e.tag);
    box.setCurrentIndex(0);
}

}  // namespace

void TfFilterBuilder::Run(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        messages_.ShowError(e.what());
    }
}

TfFilterBuilder::ComparePage* TfFilterBuilder::PageControls(FilterPage page) {
    const auto i = static_cast<std::size_t>(page);
    return i < compare_.size() ? &compare_[i] : nullptr;
}

// --- Showing -------------------------------------------------------------------

void TfFilterBuilder::Prepare(const std::string& database, const std::string& category,
                              std::string_view caretLine) {
    database_ = database;
    category_ = category;
    readBack_.reset();
    edViewFilter_->setPlaceholderText(QString());
    acLoadCategories();
    if (caretLine.find("[ViewFilter(") == std::string_view::npos) return;
    if (const std::optional<std::string> problem = ReadBack(caretLine))
        ShowReadBackProblem(*problem);
}

bool TfFilterBuilder::Execute(const std::string& database, const std::string& category,
                              std::string_view caretLine) {
    Run([&] { Prepare(database, category, caretLine); });
    return exec() == QDialog::Accepted;
}

std::string TfFilterBuilder::ViewFilterText() const { return ToAnsi(edViewFilter_->text()); }

// --- Categories and fields ---------------------------------------------------------

void TfFilterBuilder::acLoadCategories() {
    if (database_.empty()) return;
    {
        const QSignalBlocker quiet(cbSourceCategory_);
        cbSourceCategory_->clear();
        for (const std::string& name : LoadCategoryNames(registry_, database_))
            cbSourceCategory_->addItem(FromAnsi(name));
        cbSourceCategory_->setCurrentIndex(-1);
    }
    if (!settings_.linkCategory || cbSourceCategory_->count() == 0) return;
    {
        const QSignalBlocker quiet(cbSourceCategory_);
        cbSourceCategory_->setCurrentIndex(
            cbSourceCategory_->findText(FromAnsi(category_), Qt::MatchFixedString));
    }
    acSelectCategory();
}

void TfFilterBuilder::acSelectCategory() {
    const QString category = cbSourceCategory_->currentText();
    setWindowTitle(QStringLiteral("Filter for Category: %1").arg(category));
    if (category.isEmpty()) return;
    std::vector<FieldListEntry> entries;
    std::exception_ptr failure;
    try {
        LoadFieldsAndConnections(database_, ToAnsi(category), entries);
    } catch (...) {
        failure = std::current_exception();
    }
    // The fixed entries go in whatever the loading did, so the list is usable.
    FillSorted(*lbFields_,
               WithFixedEntries(std::move(entries),
                                {{std::string(kAllItemsText), kAllItemsTag},
                                 {std::string(kSharedVsLocalText), kSharedVsLocalTag}}));
    lbFieldsClick();
    if (failure) std::rethrow_exception(failure);
}

std::string TfFilterBuilder::ConnectedCategory() const {
    const QListWidgetItem* item = lbFields_->currentItem();
    if (!item) return {};
    const std::string text = ToAnsi(item->text());
    return std::string(CategoryPartOf(text, TagOf(item)));
}

void TfFilterBuilder::ShowPage(FilterPage page) {
    nbFieldTypes_->setCurrentIndex(static_cast<int>(page));
}

void TfFilterBuilder::SetFieldName(FilterPage page, const QString& name) {
    if (ComparePage* c = PageControls(page))
        c->fieldName->setText(name);
    else if (page == FilterPage::Selection)
        gbSelection_->setTitle(name);
    else if (page == FilterPage::Checkbox)
        rgCheckBox_->setTitle(name);
}

void TfFilterBuilder::lbFieldsClick() {
    const QListWidgetItem* item = lbFields_->currentItem();
    if (!item) return;
    const int tag = TagOf(item);
    if (HasFieldPage(tag)) {
        lFilterBy_->setEnabled(false);
        cbFilterBy_->setEnabled(false);
        FillSorted(*cbFilterBy_, {{"(Field value)", tag}});
        SetFieldName(PageOfTag(tag), item->text());
        ShowPage(PageOfTag(tag));
    } else if (tag >= 0) {
        {
            const QSignalBlocker quiet(cbFilterBy_);
            cbFilterBy_->clear();
        }
        lFilterBy_->setEnabled(false);
        cbFilterBy_->setEnabled(false);
        ShowPage(tag == kSharedVsLocalTag ? FilterPage::SharedVsLocal : FilterPage::AllItems);
    } else {
        const std::string category = ConnectedCategory();
        std::vector<FieldListEntry> entries;
        std::exception_ptr failure;
        try {
            LoadFieldsAndConnections(database_, category, entries);
        } catch (...) {
            failure = std::current_exception();
        }
        FillSorted(*cbFilterBy_,
                   WithFixedEntries(std::move(entries),
                                    {{std::string(kConnectionToItemText), kConnectionToItemTag},
                                     {std::string(kSharedVsLocalText), kSharedVsLocalTag}}));
        // The filter-by entry shows its own page: the items for a connection,
        // a field's page for a field of the connected category.
        cbFilterByClick();
        lFilterBy_->setEnabled(true);
        cbFilterBy_->setEnabled(true);
        lConnectionCatName_->setText(FromAnsi(category));
        if (failure) std::rethrow_exception(failure);
    }
    acRefreshFilter();
}

void TfFilterBuilder::cbFilterByClick() {
    const int index = cbFilterBy_->currentIndex();
    if (index < 0) return;
    const int tag = cbFilterBy_->itemData(index).toInt();
    const QString text = cbFilterBy_->itemText(index);
    if (tag < 0) {
        std::string category(CategoryPartOf(ToAnsi(text), tag));
        if (category.empty()) category = ConnectedCategory();
        std::vector<std::string> items;
        LoadItemNames(database_, category, items);
        const QSignalBlocker quiet(lbItemNames_);
        lbItemNames_->setUpdatesEnabled(false);
        lbItemNames_->setSortingEnabled(false);
        lbItemNames_->clear();
        if (!items.empty()) {
            for (const std::string& name : items) lbItemNames_->addItem(new TaggedItem(name, 0));
            lbItemNames_->setEnabled(true);
            lbItemNames_->setSortingEnabled(true);
            lbItemNames_->sortItems();
            // The first item of the reply, wherever sorting put it.
            const QString first = FromAnsi(items.front());
            for (int row = 0; row < lbItemNames_->count(); ++row) {
                if (lbItemNames_->item(row)->text() != first) continue;
                lbItemNames_->setCurrentRow(row);
                break;
            }
            edItemName_->setText(first);
        } else {
            edItemName_->clear();
            lbItemNames_->addItem(QStringLiteral("(none)"));
            lbItemNames_->setEnabled(false);
            lbItemNames_->setSortingEnabled(true);
        }
        lbItemNames_->setUpdatesEnabled(true);
        ShowPage(FilterPage::Connection);
    } else if (HasFieldPage(tag)) {
        SetFieldName(PageOfTag(tag), text);
        ShowPage(PageOfTag(tag));
    } else {
        ShowPage(tag == kSharedVsLocalTag ? FilterPage::SharedVsLocal : FilterPage::AllItems);
    }
    acRefreshFilter();
}

// --- Pages -------------------------------------------------------------------------

void TfFilterBuilder::nbFieldTypesPageChanged(int page) {
    ComparePage* c = PageControls(static_cast<FilterPage>(page));
    if (!c) return;
    {
        const QSignalBlocker quiet(c->compare);
        c->compare->setCurrentIndex(0);
    }
    CompareChange(static_cast<FilterPage>(page));
}

void TfFilterBuilder::CompareChange(FilterPage page) {
    ComparePage* c = PageControls(page);
    if (!c) return;
    const QString caption = c->compare->currentText();
    const bool between = caption == QLatin1String("Is Between");
    const bool blank = caption == QLatin1String("Is Blank");
    const bool duplicates = caption == QLatin1String("Has Duplicates");
    c->minLabel->setText(between ? QStringLiteral("M&inimum Value (inclusive):")
                                 : QStringLiteral("Field &Value:"));
    // The number box stays as it is: every number comparison takes a value.
    if (page != FilterPage::Number) {
        c->minLabel->setEnabled(!blank && !duplicates);
        c->min->setEnabled(!blank && !duplicates);
    }
    c->maxLabel->setVisible(between);
    c->max->setVisible(between);
    if (c->matchCase) {
        c->matchCase->setVisible(!between);
        c->matchCase->setEnabled(!blank);
    }
    if (c->options) {
        c->options->setVisible(!between);
        c->options->setEnabled(!blank && !duplicates);
    }
    acRefreshFilter();
}

void TfFilterBuilder::lbItemNamesClick() {
    const QListWidgetItem* item = lbItemNames_->currentItem();
    if (!item || !lbItemNames_->isEnabled()) return;
    edItemName_->setText(item->text());
    acRefreshFilter();
}

// --- Composing ---------------------------------------------------------------------

ViewFilterInputs TfFilterBuilder::GatherInputs() const {
    ViewFilterInputs in;
    in.filter_number = tcFilter_->currentIndex() + 1;
    in.except = xbExcept_->isChecked();
    in.quote_style = settings_.quoteStyle;
    // The current row is the entry whose page shows. A mouse click makes it
    // current before it is selected, so its selection cannot be waited for.
    if (const QListWidgetItem* item = lbFields_->currentItem())
        in.field = FilterEntry{ToAnsi(item->text()), TagOf(item)};
    if (const int i = cbFilterBy_->currentIndex(); i >= 0)
        in.filter_by =
            FilterEntry{ToAnsi(cbFilterBy_->itemText(i)), cbFilterBy_->itemData(i).toInt()};
    FilterComparePage* pages[] = {&in.name, &in.text, &in.number, &in.date, &in.time};
    for (std::size_t i = 0; i < compare_.size(); ++i) {
        const ComparePage& c = compare_[i];
        *pages[i] = FilterComparePage{c.compare->currentIndex(), ToAnsi(c.compare->currentText()),
                                      ToAnsi(c.min->text()), ToAnsi(c.max->text()),
                                      c.matchCase && c.matchCase->isChecked()};
    }
    in.checkbox = checkBoxChoices_[1]->isChecked() ? 1 : 0;
    in.selection_equals = !rbSelNotEqual_->isChecked();
    in.selection = ToAnsi(edSelection_->text());
    in.shared = sharedChoices_[1]->isChecked() ? 1 : 0;
    in.item_name = ToAnsi(edItemName_->text());
    return in;
}

void TfFilterBuilder::acRefreshFilter() {
    const std::optional<std::string> command = ComposeViewFilter(GatherInputs());
    if (!command) return;
    edViewFilter_->setPlaceholderText(QString());
    edViewFilter_->setText(FromAnsi(*command));
}

void TfFilterBuilder::sbCopyClick() { QApplication::clipboard()->setText(edViewFilter_->text()); }

void TfFilterBuilder::acShowOptions() {
    const auto page = static_cast<FilterPage>(nbFieldTypes_->currentIndex());
    if (page != FilterPage::Name && page != FilterPage::Text) return;
    ComparePage& c = *PageControls(page);
    const std::optional<FilterOptionsSplit> split = SplitFilterOptions(ToAnsi(c.min->text()));
    if (!split) {
        messages_.Show("You cannot use both .AND. and .OR. in the same filter.",
                       MessageIcon::Warning, MessageButtons::Ok);
        return;
    }
    const QListWidgetItem* field = lbFields_->currentItem();
    options_->Prepare(*split, tcFilter_->currentIndex() + 1,
                      QStringLiteral("%1 %2...")
                          .arg(field ? field->text() : QString(), c.compare->currentText()));
    if (options_->exec() != QDialog::Accepted) return;
    c.min->setText(FromAnsi(JoinFilterOptions(options_->Join(), options_->Boxes())));
}

}  // namespace vk
