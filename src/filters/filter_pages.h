#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace vk {

// The filter builder's pages, in the order of its page control.
enum class FilterPage {
    Name = 0,
    Text = 1,
    Number = 2,
    Date = 3,
    Time = 4,
    Selection = 5,
    Checkbox = 6,
    Connection = 7,
    AllItems = 8,
    SharedVsLocal = 9,
};

// Entry tags that are not field kind codes.
inline constexpr int kAllItemsTag = 16;
inline constexpr int kSharedVsLocalTag = 17;
inline constexpr int kConnectionToItemTag = -20;
inline constexpr std::string_view kAllItemsText = "(All Items)";
inline constexpr std::string_view kSharedVsLocalText = "(Shared vs. Local)";
inline constexpr std::string_view kConnectionToItemText = "(Connection to item)";

// The page that shows an entry with this tag: a field kind code, one of the
// two fixed entries, or a connection (negative). Kinds without a page show
// the empty AllItems page.
[[nodiscard]] constexpr FilterPage PageOfTag(int tag) noexcept {
    if (tag < 0) return FilterPage::Connection;
    switch (tag) {
        case 0:
        case 3:
        case 13:
        case 14:
            return FilterPage::Text;
        case 1:
        case 10:
        case 11:
            return FilterPage::Number;
        case 2:
            return FilterPage::Date;
        case 4:
            return FilterPage::Checkbox;
        case 5:
            return FilterPage::Name;
        case 8:
            return FilterPage::Time;
        case 12:
        case 15:
            return FilterPage::Selection;
        case kSharedVsLocalTag:
            return FilterPage::SharedVsLocal;
        default:
            return FilterPage::AllItems;
    }
}

// A field kind the builder has a page for (not All Items, not a connection).
[[nodiscard]] constexpr bool HasFieldPage(int tag) noexcept {
    const FilterPage p = PageOfTag(tag);
    return tag >= 0 && p != FilterPage::AllItems && p != FilterPage::SharedVsLocal;
}

// The connected category of a connection entry: everything after character
// position -tag ("Relates To Company", -11 gives "Company"); empty for
// "(Connection to item)", a field, or a tag that does not fit the text.
[[nodiscard]] constexpr std::string_view CategoryPartOf(std::string_view text, int tag) noexcept {
    if (tag >= 0) return {};
    const auto cut = static_cast<std::size_t>(-static_cast<long long>(tag));
    return cut < text.size() ? text.substr(cut) : std::string_view();
}

// The comparison boxes' captions, by index.
inline constexpr std::array<std::string_view, 6> kNameComparisons = {
    "Contains", "Does Not Contain", "Equal To", "Has Duplicates", "Is Between", "Is Blank"};
inline constexpr std::array<std::string_view, 5> kTextComparisons = {
    "Contains", "Does Not Contain", "Equal To", "Is Between", "Is Blank"};
inline constexpr std::array<std::string_view, 5> kNumberComparisons = {
    "Equal To", "Greater Than", "Is Between", "Less Than", "Not Equal To"};
inline constexpr std::array<std::string_view, 5> kDateComparisons = {
    "After", "Before", "Is Between", "Is Blank", "On"};
inline constexpr std::array<std::string_view, 5> kTimeComparisons = {"After", "At", "Before",
                                                                     "Is Between", "Is Blank"};

// The captions of a page's comparison box; empty for pages without one.
[[nodiscard]] constexpr std::span<const std::string_view> ComparisonsOf(FilterPage page) noexcept {
    switch (page) {
        case FilterPage::Name:
            return kNameComparisons;
        case FilterPage::Text:
            return kTextComparisons;
        case FilterPage::Number:
            return kNumberComparisons;
        case FilterPage::Date:
            return kDateComparisons;
        case FilterPage::Time:
            return kTimeComparisons;
        default:
            return {};
    }
}

}  // namespace vk
