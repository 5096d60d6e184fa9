#include "filters/filter_options.h"

namespace vk {
namespace {

// Blanks and control characters, as the dialog trims them.
constexpr bool IsTrimmed(char c) noexcept { return static_cast<unsigned char>(c) <= ' '; }

std::string Trimmed(std::string_view s) {
    while (!s.empty() && IsTrimmed(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsTrimmed(s.back())) s.remove_suffix(1);
    return std::string(s);
}

}  // namespace

std::optional<FilterOptionsSplit> SplitFilterOptions(std::string_view value) {
    const bool all = value.find(kJoinAll) != std::string_view::npos;
    if (all && value.find(kJoinAny) != std::string_view::npos) return std::nullopt;

    FilterOptionsSplit split;
    split.join = all ? FilterJoin::All : FilterJoin::Any;
    const std::string_view word = JoinWord(split.join);
    std::string_view rest = value;
    for (;;) {
        const std::size_t at = rest.find(word);
        if (at == std::string_view::npos || split.pieces.size() + 1 == kFilterOptionBoxes) break;
        split.pieces.push_back(Trimmed(rest.substr(0, at)));
        rest.remove_prefix(at + word.size());
    }
    split.pieces.push_back(Trimmed(rest));
    return split;
}

std::string JoinFilterOptions(FilterJoin join, const std::vector<std::string>& boxes) {
    std::string value = boxes.empty() ? std::string() : boxes.front();
    for (std::size_t i = 1; i < boxes.size(); ++i) {
        if (boxes[i].empty()) continue;
        if (!value.empty()) value += JoinWord(join);
        value += boxes[i];
    }
    return value;
}

}  // namespace vk
