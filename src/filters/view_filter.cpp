#include "filters/view_filter.h"

#include <algorithm>
#include <array>
#include <utility>
#include <string_view>

namespace vk {
namespace {

constexpr std::string_view kUnknown = "(unknown)";

struct Style {
  std::string_view open, close;        // around the whole command
  std::string_view value_open, value_close;
};

constexpr std::array<Style, 3> kStyles{{
    {"\"", "\"", "\"\"\"\"", "\"\"\"\""},
    {"'", "'", "\"", "\""},
    {"", "", "", ""},
}};

struct Slots {
  std::array<std::string, 4> s;
  bool known = true;
};

std::string Comma(std::string_view word) { return "," + std::string(word); }

// The connection name is the first (-tag - 1) characters, the category all
// after position -tag. A tag that does not fit the text (a damaged entry)
// is clamped rather than read past the end.
std::pair<std::string, std::string> SplitConnection(const FilterEntry& e) {
  const std::size_t cut = static_cast<std::size_t>(-static_cast<long long>(e.tag));
  const std::string& t = e.text;
  std::string name = t.substr(0, std::min(cut - 1, t.size()));
  std::string category = cut < t.size() ? t.substr(cut) : std::string();
  return {name, category};
}

// The four slots a field filter gives for a field-like entry.
Slots FieldSlots(const ViewFilterInputs& in, const FilterEntry& e, const Style& st) {
  auto q = [&](std::string_view x) {
    std::string r = ",";
    r.append(st.value_open).append(x).append(st.value_close);
    return r;
  };
  Slots out;
  auto& s = out.s;
  s[0] = q(e.text);
  // Plain comparison with optional match case, between, blank.
  auto compare = [&](const FilterComparePage& p, int between, int blank, bool has_mc) {
    if (p.index == between) {
      s[1] = Comma(p.caption);
      s[2] = q(p.min);
      s[3] = q(p.max);
    } else if (p.index == blank) {
      s[1] = ",Blank";
    } else {
      s[1] = Comma(p.caption);
      s[2] = q(p.min);
      if (has_mc && p.match_case) s[3] = ",1";
    }
  };
  switch (e.tag) {
    case 0: case 3: case 13: case 14:
      compare(in.text, 3, 4, true);
      break;
    case 5:
      if (in.name.index == 3) {
        s[1] = Comma(in.name.caption);
        if (in.name.match_case) s[3] = ",,1";
      } else {
        compare(in.name, 4, 5, true);
      }
      break;
    case 1: case 10: case 11:
      compare(in.number, 2, -1, false);
      break;
    case 2:
      compare(in.date, 2, 3, false);
      break;
    case 8:
      compare(in.time, 3, 4, false);
      break;
    case 4:
      s[1] = in.checkbox == 1 ? ",Not Checked" : ",Checked";
      break;
    case 12: case 15:
      s[1] = in.selection_equals ? ",Equal To" : ",Not Equal To";
      s[2] = q(in.selection);
      break;
    case 17:
      s = {",", in.shared == 1 ? ",Local" : ",Shared", ",", ","};
      break;
    default:
      out.known = false;
  }
  return out;
}

}  // namespace

std::optional<std::string> ComposeViewFilter(const ViewFilterInputs& in) {
  if (!in.field) return std::nullopt;
  if (in.quote_style < 0 || in.quote_style > 2) return std::string();
  const Style& st = kStyles[static_cast<std::size_t>(in.quote_style)];
  const std::string number = std::to_string(in.filter_number);
  const FilterEntry& field = *in.field;

  if (field.tag == 16) {
    std::string r(st.open);
    r.append("[ViewFilter(").append(number).append(",Clear)]").append(st.close);
    return r;
  }

  auto q = [&](std::string_view x) {
    std::string r = ",";
    r.append(st.value_open).append(x).append(st.value_close);
    return r;
  };
  std::string kind;
  std::array<std::string, 6> s;
  if (field.tag >= 0) {
    Slots f = FieldSlots(in, field, st);
    if (!f.known) return std::string(kUnknown);
    kind = "F";
    for (std::size_t i = 0; i < 4; ++i) s[i] = f.s[i];
  } else {
    auto [connection, category] = SplitConnection(field);
    s[0] = q(connection);
    s[1] = q(category);
    const FilterEntry& by = in.filter_by;
    if (by.tag < 0) {
      auto [connection2, category2] = SplitConnection(by);
      if (category2.empty()) {
        kind = "CTI";
        s[2] = q(in.item_name);
      } else {
        kind = "CTCTI";
        s[2] = q(connection2);
        s[3] = q(category2);
        s[4] = q(in.item_name);
      }
    } else {
      if (by.tag == 16) return std::string(kUnknown);
      Slots f = FieldSlots(in, by, st);
      if (!f.known) return std::string(kUnknown);
      kind = "CTCF";
      for (std::size_t i = 0; i < 4; ++i) s[i + 2] = f.s[i];
    }
  }

  std::string r(st.open);
  r.append("[ViewFilter(").append(number).append(",").append(kind).append(",");
  if (in.except) r.append("Not");
  for (const auto& piece : s) r.append(piece);
  r.append(")]").append(st.close);
  return r;
}

}  // namespace vk
