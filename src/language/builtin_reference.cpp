#include "language/builtin_reference.h"

#include <algorithm>
#include <array>
#include <optional>

#include "common/file_bytes.h"
#include "common/text_helpers.h"
#include "help/syntax_list.h"
#include "help/topic_summary.h"
#include "help/topic_syntax.h"

namespace vk::language {
namespace {

bool FoldedLess(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char x = AsciiLower(a[i]), y = AsciiLower(b[i]);
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

bool IsEngineName(SeedKind kind) {
    return kind == SeedKind::Function || kind == SeedKind::Constant || kind == SeedKind::Object ||
           kind == SeedKind::Class;
}

// The index entry of a name's own topic.
std::optional<std::size_t> TopicOf(const TSyntaxList& index, std::string_view name) {
    static constexpr std::array<std::string_view, 3> kSuffixes = {" Function", " Statement",
                                                                  " Object"};
    for (const std::string_view suffix : kSuffixes) {
        const std::string text = std::string(name) + std::string(suffix);
        const auto& topics = index.Topics();
        for (std::size_t i = 0; i < topics.size(); ++i)
            if (EqualsIgnoringAsciiCase(topics[i].text, text)) return i;
    }
    return std::nullopt;
}

}  // namespace

BuiltinReference::BuiltinReference() {
    for (const SeedName& seed : SeedNames())
        if (IsEngineName(seed.kind)) topics_.push_back({seed.name, seed.kind, {}, {}});
    byFoldedName_.resize(topics_.size());
    for (std::size_t i = 0; i < topics_.size(); ++i) byFoldedName_[i] = i;
    std::sort(byFoldedName_.begin(), byFoldedName_.end(), [this](std::size_t a, std::size_t b) {
        return FoldedLess(topics_[a].name, topics_[b].name);
    });
}

BuiltinReference::BuiltinReference(const TSyntaxList& index) : BuiltinReference() {
    for (BuiltinTopic& topic : topics_) {
        if (topic.kind == SeedKind::Constant) continue;  // grouped topics, no syntax of their own
        const std::optional<std::size_t> entry = TopicOf(index, topic.name);
        if (!entry) continue;
        const std::optional<std::string> page =
            ReadRegularFile(index.Topics()[*entry].path, nullptr, kMaxHelpPageBytes);
        if (!page) continue;
        topic.syntax = ExtractSyntax(*page);
        topic.summary = ExtractSummary(*page);
    }
}

const BuiltinTopic* BuiltinReference::Find(std::string_view name) const {
    const auto at = std::lower_bound(
        byFoldedName_.begin(), byFoldedName_.end(), name,
        [this](std::size_t i, std::string_view key) { return FoldedLess(topics_[i].name, key); });
    if (at == byFoldedName_.end() || !EqualsIgnoringAsciiCase(topics_[*at].name, name))
        return nullptr;
    return &topics_[*at];
}

}  // namespace vk::language
