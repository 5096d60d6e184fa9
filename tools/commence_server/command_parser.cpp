#include "command_parser.h"

namespace vk::commence_server {
namespace {

constexpr bool isNameChar(unsigned char c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

constexpr bool isPadding(unsigned char c) noexcept {
    return c == '\0' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimPadding(std::string_view text) {
    while (!text.empty() && isPadding(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && isPadding(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool isName(std::string_view name) {
    if (name.empty()) return false;
    for (const char c : name)
        if (!isNameChar(static_cast<unsigned char>(c))) return false;
    return true;
}

// Cuts the text between the parentheses into arguments. A quoted argument runs
// to the next "\",\"" (the start of the next quoted argument), or, for the
// last one, to the closing quote at the end; an unquoted one runs to a comma.
std::optional<std::vector<std::string>> splitArguments(std::string_view text) {
    std::vector<std::string> args;
    if (text.empty()) return args;
    std::size_t pos = 0;
    while (true) {
        const std::string_view rest = text.substr(pos);
        if (!rest.empty() && rest.front() == '"') {
            const std::size_t next = rest.find("\",\"", 1);
            if (next != std::string_view::npos) {
                args.emplace_back(rest.substr(1, next - 1));
                pos += next + 2;  // onto the opening quote of the next argument
                continue;
            }
            if (rest.size() >= 2 && rest.back() == '"') {
                args.emplace_back(rest.substr(1, rest.size() - 2));
                return args;
            }
            // A quoted argument followed by an unquoted one: "Cat",Me.
            const std::size_t close = rest.find("\",", 1);
            if (close == std::string_view::npos) return std::nullopt;
            args.emplace_back(rest.substr(1, close - 1));
            pos += close + 2;
            continue;
        }
        const std::size_t comma = rest.find(',');
        if (comma == std::string_view::npos) {
            args.emplace_back(rest);
            return args;
        }
        args.emplace_back(rest.substr(0, comma));
        pos += comma + 1;
    }
}

}  // namespace

std::optional<Command> ParseCommand(std::string_view text) {
    text = trimPadding(text);
    Command command;
    if (text.empty() || text.front() != '[') {
        // A bare item such as "Status".
        if (!isName(text)) return std::nullopt;
        command.name = std::string(text);
        return command;
    }
    command.bracketed = true;
    if (text.size() < 2 || text.back() != ']') return std::nullopt;
    const std::string_view inner = text.substr(1, text.size() - 2);
    const std::size_t open = inner.find('(');
    if (open == std::string_view::npos) {
        if (!isName(inner)) return std::nullopt;
        command.name = std::string(inner);
        return command;
    }
    if (inner.back() != ')') return std::nullopt;
    const std::string_view name = inner.substr(0, open);
    if (!isName(name)) return std::nullopt;
    auto args = splitArguments(inner.substr(open + 1, inner.size() - open - 2));
    if (!args) return std::nullopt;
    command.name = std::string(name);
    command.args = std::move(*args);
    return command;
}

}  // namespace vk::commence_server
