#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

// A Name or Text filter value can test one field against several strings:
// "Smith .OR. Jones" (any of them) or "Smith .AND. Jones" (all of them). The
// join words are recognised only in exactly this form: capitals, one blank
// on each side.
enum class FilterJoin { Any, All };

inline constexpr std::string_view kJoinAny = " .OR. ";
inline constexpr std::string_view kJoinAll = " .AND. ";
inline constexpr std::size_t kFilterOptionBoxes = 10;
// Up to this many pieces the options dialog opens in its short layout.
inline constexpr std::size_t kShortLayoutBoxes = 4;

[[nodiscard]] constexpr std::string_view JoinWord(FilterJoin join) noexcept {
    return join == FilterJoin::All ? kJoinAll : kJoinAny;
}

// A value taken apart for the options dialog's boxes.
struct FilterOptionsSplit {
    FilterJoin join = FilterJoin::Any;
    // One string per box filled, trimmed of blanks and control characters at
    // both ends; empty pieces (a join word at either end) are kept so the box
    // count matches. Never more than kFilterOptionBoxes: the last box takes
    // the rest of the value, join words included, so that nothing is lost
    // when the dialog writes it back.
    std::vector<std::string> pieces;
    [[nodiscard]] bool longLayout() const { return pieces.size() > kShortLayoutBoxes; }
};

// Splits a value at its join word. Nothing when it holds both " .AND. " and
// " .OR. ", which one filter cannot mean.
[[nodiscard]] std::optional<FilterOptionsSplit> SplitFilterOptions(std::string_view value);

// Joins the boxes back into one value: the first box as it stands, then each
// further non-empty box after the join word (no join word before the first
// text). Nothing is trimmed.
[[nodiscard]] std::string JoinFilterOptions(FilterJoin join, const std::vector<std::string>& boxes);

}  // namespace vk
