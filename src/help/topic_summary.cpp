#include "help/topic_summary.h"

#include <array>
#include <utility>

#include "common/text_helpers.h"

namespace vk {
namespace {

// Finds `tag` without regard to case from `from`.
std::size_t FindTag(std::string_view page, std::string_view tag, std::size_t from) {
    if (tag.size() > page.size()) return std::string_view::npos;
    for (std::size_t i = from; i + tag.size() <= page.size(); ++i)
        if (EqualsIgnoringAsciiCase(page.substr(i, tag.size()), tag)) return i;
    return std::string_view::npos;
}

// The markup's text: tags dropped, references decoded, runs of blanks and
// line ends made one blank.
std::string PlainText(std::string_view markup) {
    static constexpr std::array<std::pair<std::string_view, char>, 5> kReferences = {{
        {"&amp;", '&'},
        {"&lt;", '<'},
        {"&gt;", '>'},
        {"&quot;", '"'},
        {"&nbsp;", ' '},
    }};
    std::string text;
    bool blank = false;
    for (std::size_t i = 0; i < markup.size(); ++i) {
        char c = markup[i];
        if (c == '<') {
            const std::size_t close = markup.find('>', i);
            if (close == std::string_view::npos) break;
            i = close;
            continue;
        }
        if (c == '&') {
            for (const auto& [reference, character] : kReferences)
                if (markup.substr(i, reference.size()) == reference) {
                    c = character;
                    i += reference.size() - 1;
                    break;
                }
        }
        if (static_cast<unsigned char>(c) <= ' ') {
            blank = !text.empty();
            continue;
        }
        if (blank) text += ' ';
        blank = false;
        text += c;
    }
    return text;
}

}  // namespace

std::string ExtractSummary(std::string_view page) {
    const std::size_t title = FindTag(page, "</H3>", 0);
    if (title == std::string_view::npos) return {};
    const std::size_t open = FindTag(page, "<P>", title);
    if (open == std::string_view::npos) return {};
    const std::size_t start = open + 3;
    std::size_t end = FindTag(page, "</P>", start);
    if (end == std::string_view::npos) end = page.size();
    std::string text = PlainText(page.substr(start, end - start));
    // A sentence ends at a full stop followed by a blank; "e.g." inside a
    // word run does not end one.
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '.' && text[i + 1] == ' ') {
            text.resize(i + 1);
            break;
        }
    return text;
}

}  // namespace vk
