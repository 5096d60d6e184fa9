#include "editor/word_breaks.h"

#include <algorithm>

namespace vk {

namespace {

constexpr bool IsSpace(unsigned char c) noexcept {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

constexpr bool IsWordChar(unsigned char c) noexcept {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c >= 0x80;
}

}  // namespace

std::size_t MoveWordLeft(std::string_view text, std::size_t pos) {
    pos = std::min(pos, text.size());
    while (pos > 0 && IsSpace(static_cast<unsigned char>(text[pos - 1]))) --pos;
    while (pos > 0 && !IsSpace(static_cast<unsigned char>(text[pos - 1]))) --pos;
    return pos;
}

std::size_t RightWordBreak(std::string_view text, std::size_t pos) {
    pos = std::min(pos, text.size());
    while (pos < text.size() && IsWordChar(static_cast<unsigned char>(text[pos]))) ++pos;
    return pos;
}

}  // namespace vk
