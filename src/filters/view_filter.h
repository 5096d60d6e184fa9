#pragma once

#include <optional>
#include <string>

namespace vk {

// One entry of the field list or the filter-by box: display text and the tag
// that says what it is (field kind code, 16 all items, 17 shared vs. local,
// negative for a connection: minus the connection name's length plus one).
struct FilterEntry {
  std::string text;
  int tag = 0;
};

// The page inputs share one shape: comparison index and caption, two value
// boxes and, on the name and text pages, the match-case box.
struct FilterComparePage {
  int index = 0;
  std::string caption;
  std::string min;
  std::string max;
  bool match_case = false;
};

struct ViewFilterInputs {
  int filter_number = 1;
  bool except = false;
  int quote_style = 0;
  std::optional<FilterEntry> field;  // selected field list entry
  FilterEntry filter_by;             // selected filter-by entry
  FilterComparePage name, text, number, date, time;
  int checkbox = 0;  // 0 checked, 1 not checked
  bool selection_equals = true;
  std::string selection;
  int shared = 0;  // 0 shared, 1 local
  std::string item_name;
};

// Composes the ViewFilter command for the builder's current state. Gives
// nothing when no field list entry is selected (the read-out keeps its text),
// "(unknown)" for a kind without a page and "" for an unknown quote style.
[[nodiscard]] std::optional<std::string> ComposeViewFilter(const ViewFilterInputs& in);

}  // namespace vk
