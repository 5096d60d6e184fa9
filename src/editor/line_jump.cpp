#include "editor/line_jump.h"

#include <algorithm>
#include <charconv>

namespace vk {
namespace {

constexpr bool isBlank(char c) noexcept { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

LineJump PlanLineJump(int line, int offset, int lineCount) {
    const int last = std::max(lineCount, 1) - 1;
    const int target = std::clamp(line, 0, last);
    return {target, std::max(0, target - std::max(offset, 0))};
}

LineNumberAnswer ReadLineNumberAnswer(std::string_view answer, int lineCount) {
    const std::string_view text = Trimmed(answer);
    if (text.empty()) return {};
    const LineNumberAnswer refuse{LineNumberAnswer::Kind::Refuse, 0};
    // Digits only: a sign, a hex prefix or a fraction is no line number.
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return refuse;
    long long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) return refuse;
    if (number > std::max(lineCount, 1)) return refuse;
    return {LineNumberAnswer::Kind::Jump, number == 0 ? 0 : static_cast<int>(number - 1)};
}

std::string LineNumberRangeMessage(int lineCount) {
    return "Please enter a line number from 1 to " + std::to_string(std::max(lineCount, 1));
}

}  // namespace vk
