// Setting the filter builder to a ViewFilter command found on the caret line.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>

#include "editor/ansi_text.h"
#include "filters/filter_builder.h"
#include "filters/filter_builder_items.h"
#include "filters/view_filter_reader.h"

namespace vk {

using filter_items::IndexOf;
using filter_items::TagOf;

// --- Reading a command back --------------------------------------------------------

void TfFilterBuilder::ShowReadBackProblem(const std::string& problem) {
    // Shown in the empty read-out, so "Insert" cannot put it into the script.
    edViewFilter_->clear();
    edViewFilter_->setPlaceholderText(FromAnsi("Cannot read the filter back: " + problem));
}

std::optional<std::string> TfFilterBuilder::ReadBack(std::string_view line) {
    const ViewFilterReading reading = ReadViewFilter(line);
    if (!reading.inputs) return reading.problem;
    const ViewFilterInputs& in = *reading.inputs;
    const FilterEntry& field = *in.field;

    // The field list entry: by text, and for a connection by its tag too.
    int row = -1;
    for (int i = 0; i < lbFields_->count() && row < 0; ++i) {
        const QListWidgetItem* item = lbFields_->item(i);
        if (ToAnsi(item->text()) == field.text && (field.tag >= 0) == (TagOf(item) >= 0) &&
            (field.tag >= 0 || TagOf(item) == field.tag))
            row = i;
    }
    if (row < 0) {
        const std::string category = ToAnsi(cbSourceCategory_->currentText());
        if (category.empty()) return "no category is chosen";
        return "\"" + field.text + "\" is not a field or connection of " + category;
    }
    {
        const QSignalBlocker quiet(tcFilter_);
        tcFilter_->setCurrentIndex(in.filter_number - 1);
    }
    xbExcept_->setChecked(in.except);
    {
        const QSignalBlocker quiet(lbFields_);
        lbFields_->setCurrentRow(row);
    }
    lbFieldsClick();

    int tag = TagOf(lbFields_->item(row));
    if (tag < 0) {
        const FilterEntry& by = in.filter_by;
        int index = -1;
        for (int i = 0; i < cbFilterBy_->count() && index < 0; ++i) {
            const int itemTag = cbFilterBy_->itemData(i).toInt();
            if (ToAnsi(cbFilterBy_->itemText(i)) == by.text && (by.tag >= 0) == (itemTag >= 0) &&
                (by.tag >= 0 || itemTag == by.tag))
                index = i;
        }
        if (index < 0)
            return "\"" + by.text + "\" is not a field or connection of " + ConnectedCategory();
        {
            const QSignalBlocker quiet(cbFilterBy_);
            cbFilterBy_->setCurrentIndex(index);
        }
        cbFilterByClick();
        tag = cbFilterBy_->itemData(index).toInt();
    }

    const FilterPage page = PageOfTag(tag);
    if (ComparePage* c = PageControls(page)) {
        const FilterComparePage* pages[] = {&in.name, &in.text, &in.number, &in.date, &in.time};
        const FilterComparePage& p = *pages[static_cast<std::size_t>(page)];
        c->compare->setCurrentIndex(IndexOf(*c->compare, p.caption));
        c->min->setText(FromAnsi(p.min));
        c->max->setText(FromAnsi(p.max));
        if (c->matchCase) c->matchCase->setChecked(p.match_case);
    } else if (page == FilterPage::Selection) {
        (in.selection_equals ? rbSelEquals_ : rbSelNotEqual_)->setChecked(true);
        edSelection_->setText(FromAnsi(in.selection));
    } else if (page == FilterPage::Checkbox) {
        checkBoxChoices_[static_cast<std::size_t>(in.checkbox)]->setChecked(true);
    } else if (page == FilterPage::SharedVsLocal) {
        sharedChoices_[static_cast<std::size_t>(in.shared)]->setChecked(true);
    } else if (page == FilterPage::Connection) {
        edItemName_->setText(FromAnsi(in.item_name));
        const QSignalBlocker quiet(lbItemNames_);
        const auto found = lbItemNames_->findItems(FromAnsi(in.item_name), Qt::MatchExactly);
        if (!found.isEmpty()) lbItemNames_->setCurrentItem(found.front());
    }
    acRefreshFilter();

    // The field's real kind may not have the command's comparison (a number
    // field with "Contains"): then the builder would write another command.
    ViewFilterInputs now = GatherInputs();
    now.quote_style = in.quote_style;
    const std::string_view command = line.substr(reading.begin, reading.end - reading.begin);
    if (ComposeViewFilter(now).value_or("") != command)
        return "the command does not fit the kind of \"" +
               (in.field->tag < 0 ? in.filter_by.text : field.text) + "\"";
    readBack_ = std::make_pair(reading.begin, reading.end);
    return std::nullopt;
}

}  // namespace vk
