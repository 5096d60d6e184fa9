#include "help/syntax_list.h"

#include <algorithm>

#include "common/file_bytes.h"
#include "common/text_helpers.h"
#include "help/topic_syntax.h"
#include "platform/registry.h"

namespace vk {

TSyntaxList::TSyntaxList(std::vector<HelpTopic> topics) : topics_(std::move(topics)) {
    sorted_.reserve(topics_.size());
    for (std::size_t i = 0; i < topics_.size(); ++i)
        sorted_.push_back({FoldAsciiCase(topics_[i].text), i});
    std::sort(sorted_.begin(), sorted_.end(), [](const SortedEntry& a, const SortedEntry& b) {
        return a.folded != b.folded ? a.folded < b.folded : a.index < b.index;
    });
}

TSyntaxList TSyntaxList::FromFolder(const std::string& dir) {
    const std::optional<std::string> page =
        ReadRegularFile(JoinTopicPath(dir, kKeywordPageName), nullptr, kMaxHelpPageBytes);
    if (!page) return {};
    return TSyntaxList(ParseKeywordPage(*page, dir));
}

std::pair<std::size_t, std::size_t> TSyntaxList::Range(const std::string& folded) const {
    const auto first = std::lower_bound(
        sorted_.begin(), sorted_.end(), folded,
        [](const SortedEntry& e, const std::string& key) { return e.folded < key; });
    // Every text that begins with the prefix sorts right after it, together.
    auto last = first;
    while (last != sorted_.end() && last->folded.starts_with(folded)) ++last;
    return {static_cast<std::size_t>(first - sorted_.begin()),
            static_cast<std::size_t>(last - sorted_.begin())};
}

std::optional<std::size_t> TSyntaxList::FirstStartingWith(std::string_view prefix) const {
    const auto [first, last] = Range(FoldAsciiCase(prefix));
    std::optional<std::size_t> best;
    for (std::size_t i = first; i < last; ++i)
        if (!best || sorted_[i].index < *best) best = sorted_[i].index;
    return best;
}

std::vector<std::size_t> TSyntaxList::AllStartingWith(std::string_view prefix) const {
    const auto [first, last] = Range(FoldAsciiCase(prefix));
    std::vector<std::size_t> found;
    found.reserve(last - first);
    for (std::size_t i = first; i < last; ++i) found.push_back(sorted_[i].index);
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<std::string> TSyntaxList::SyntaxLine(std::string_view word) const {
    std::string key(word);
    key += ' ';
    const std::optional<std::size_t> index = FirstStartingWith(key);
    if (!index) return std::nullopt;
    auto cached = syntaxCache_.find(*index);
    if (cached == syntaxCache_.end())
        cached = syntaxCache_.emplace(*index, GetSyntax(topics_[*index].path)).first;
    return cached->second;
}

std::string GetHelpInstallDir(Registry& registry) {
    // The documentation names the key from the hive's root
    // ("\Software\Microsoft\vbsdoc"); our key paths are always taken from it.
    const std::optional<RegistryKey> key = registry.OpenKey(Hive::LocalMachine, kHelpInstallKey);
    if (!key) return {};
    return key->ReadString(kHelpInstallValue).value_or(std::string());
}

}  // namespace vk
