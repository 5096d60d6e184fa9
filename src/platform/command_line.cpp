// Cutting a Windows-style command line into program and arguments; the same
// on every system, so that a command line stored for Windows runs here too.

#include <algorithm>

#include "platform/launcher.h"

namespace vk {
namespace {

constexpr bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }

// The arguments after the program, split as the Microsoft C runtime does.
std::vector<std::string> SplitArguments(std::string_view text) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool inQuotes = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (!inQuotes && IsBlank(c)) {
            if (inArgument) arguments.push_back(std::move(current));
            current.clear();
            inArgument = false;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            const std::size_t run = text.find_first_not_of('\\', i) == std::string_view::npos
                                        ? text.size() - i
                                        : text.find_first_not_of('\\', i) - i;
            i += run;
            if (i < text.size() && text[i] == '"') {
                // 2n backslashes before a quote give n and leave the quote to
                // open or close; 2n+1 give n and a literal quote.
                current.append(run / 2, '\\');
                if (run % 2 == 1) {
                    current += '"';
                    ++i;
                }
            } else {
                current.append(run, '\\');
            }
            continue;
        }
        if (c == '"') {
            if (inQuotes && i + 1 < text.size() && text[i + 1] == '"') {
                current += '"';
                i += 2;
                continue;
            }
            inQuotes = !inQuotes;
            ++i;
            continue;
        }
        current += c;
        ++i;
    }
    if (inArgument) arguments.push_back(std::move(current));
    return arguments;
}

std::string WithSlashes(std::string_view path) {
    std::string result(path);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

}  // namespace

std::optional<CommandLine> SplitCommandLine(std::string_view commandLine,
                                            const ProgramLocator& locate) {
    const std::size_t start = commandLine.find_first_not_of(" \t");
    if (start == std::string_view::npos) return std::nullopt;
    const std::string_view line = commandLine.substr(start);

    if (line.front() == '"') {
        const std::size_t close = line.find('"', 1);
        const std::string_view program =
            line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
        const std::string_view rest =
            close == std::string_view::npos ? std::string_view() : line.substr(close + 1);
        auto found = locate(WithSlashes(program));
        if (!found) return std::nullopt;
        return CommandLine{std::move(*found), SplitArguments(rest)};
    }

    // A path never holds a quote, so no prefix reaches past one.
    const std::size_t quote = line.find('"');
    const std::size_t limit = quote == std::string_view::npos ? line.size() : quote;
    std::vector<std::size_t> ends;
    for (std::size_t i = 1; i < limit; ++i)
        if (IsBlank(line[i]) && !IsBlank(line[i - 1])) ends.push_back(i);
    if (quote == std::string_view::npos && !IsBlank(line.back())) ends.push_back(line.size());

    for (const std::size_t end : ends) {
        if (auto found = locate(WithSlashes(line.substr(0, end))))
            return CommandLine{std::move(*found), SplitArguments(line.substr(end))};
    }
    return std::nullopt;
}

}  // namespace vk
