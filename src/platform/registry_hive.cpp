#include "platform/registry_hive.h"

#include <algorithm>
#include <utility>

namespace vk {

namespace {

constexpr bool IsLineBreakOrNul(char c) noexcept { return c == '\r' || c == '\n' || c == '\0'; }

}  // namespace

bool IsValidKeyPath(std::string_view path) {
    if (path.empty()) return true;
    if (std::any_of(path.begin(), path.end(), IsLineBreakOrNul)) return false;
    if (path.front() == '\\' || path.back() == '\\') return false;
    return path.find("\\\\") == std::string_view::npos;
}

bool IsValidValueName(std::string_view name) {
    return std::none_of(name.begin(), name.end(), IsLineBreakOrNul);
}

const RegValue* RegKeyNode::Find(std::string_view name) const {
    const auto it = index_.find(FoldAsciiCase(name));
    return it == index_.end() ? nullptr : &values_[it->second];
}

void RegKeyNode::Put(RegValue value) {
    const auto [it, added] = index_.try_emplace(FoldAsciiCase(value.name), values_.size());
    if (added) {
        values_.push_back(std::move(value));
    } else {
        RegValue& existing = values_[it->second];
        existing.type = value.type;
        existing.data = std::move(value.data);
    }
}

const RegKeyNode* RegHive::Find(std::string_view path) const {
    const auto it = listed_.find(FoldAsciiCase(path));
    return it == listed_.end() ? nullptr : &keys_[it->second];
}

bool RegHive::KeyExists(std::string_view path) const {
    return path.empty() || existing_.count(FoldAsciiCase(path)) > 0;
}

const RegValue* RegHive::FindValue(std::string_view path, std::string_view name) const {
    const RegKeyNode* key = Find(path);
    return key ? key->Find(name) : nullptr;
}

// Appends a key that is not listed yet and records it and its ancestors as
// existing, each new one as a subkey of its parent.
RegKeyNode& RegHive::List(std::string_view path) {
    const std::string folded = FoldAsciiCase(path);
    listed_.emplace(folded, keys_.size());
    // Every prefix of the path ("A", "A\B", "A\B\C") names a key that exists.
    std::size_t nameStart = 0;
    while (!path.empty()) {
        const std::size_t end = std::min(path.find('\\', nameStart), path.size());
        if (existing_.insert(folded.substr(0, end)).second) {
            const std::size_t parentLength = nameStart == 0 ? 0 : nameStart - 1;
            children_[folded.substr(0, parentLength)].emplace_back(
                path.substr(nameStart, end - nameStart));
        }
        if (end == path.size()) break;
        nameStart = end + 1;
    }
    return keys_.emplace_back(std::string(path));
}

void RegHive::EnsureKey(std::string_view path) {
    // Walk from the top so that parents are listed before their children.
    std::size_t end = 0;
    while (end != std::string_view::npos) {
        end = path.find('\\', end == 0 ? 0 : end + 1);
        const std::string_view prefix = path.substr(0, end);
        if (!Find(prefix)) List(prefix);
    }
}

void RegHive::SetValue(std::string_view path, RegValue value) {
    EnsureKey(path);
    keys_[listed_.at(FoldAsciiCase(path))].Put(std::move(value));
}

std::vector<std::string> RegHive::SubkeyNames(std::string_view path) const {
    const auto it = children_.find(FoldAsciiCase(path));
    return it == children_.end() ? std::vector<std::string>() : it->second;
}

RegKeyNode& RegHive::AddParsedKey(std::string_view path) {
    const auto it = listed_.find(FoldAsciiCase(path));
    return it == listed_.end() ? List(path) : keys_[it->second];
}

}  // namespace vk
