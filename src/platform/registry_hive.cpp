#include "platform/registry_hive.h"

#include <algorithm>
#include <utility>

namespace vk {

namespace {

constexpr char ToLowerAscii(char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool IsLineBreakOrNul(char c) noexcept { return c == '\r' || c == '\n' || c == '\0'; }

// Whether `path` lies below `ancestor`; then `rest` is the part after the
// separator ("A\B\C" below "A" gives "B\C"; everything lies below the root).
bool IsBelow(std::string_view path, std::string_view ancestor, std::string_view& rest) {
    if (ancestor.empty()) {
        rest = path;
        return !path.empty();
    }
    if (path.size() <= ancestor.size() + 1 || path[ancestor.size()] != '\\') return false;
    if (!EqualsIgnoringAsciiCase(path.substr(0, ancestor.size()), ancestor)) return false;
    rest = path.substr(ancestor.size() + 1);
    return true;
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return ToLowerAscii(x) == ToLowerAscii(y);
           });
}

bool IsValidKeyPath(std::string_view path) {
    if (path.empty()) return true;
    if (std::any_of(path.begin(), path.end(), IsLineBreakOrNul)) return false;
    if (path.front() == '\\' || path.back() == '\\') return false;
    return path.find("\\\\") == std::string_view::npos;
}

bool IsValidValueName(std::string_view name) {
    return std::none_of(name.begin(), name.end(), IsLineBreakOrNul);
}

const RegKeyNode* RegHive::Find(std::string_view path) const {
    const auto it = std::find_if(keys_.begin(), keys_.end(), [&](const RegKeyNode& key) {
        return EqualsIgnoringAsciiCase(key.path, path);
    });
    return it == keys_.end() ? nullptr : &*it;
}

RegKeyNode* RegHive::Find(std::string_view path) {
    return const_cast<RegKeyNode*>(std::as_const(*this).Find(path));
}

bool RegHive::KeyExists(std::string_view path) const {
    if (path.empty() || Find(path)) return true;
    std::string_view rest;
    return std::any_of(keys_.begin(), keys_.end(),
                       [&](const RegKeyNode& key) { return IsBelow(key.path, path, rest); });
}

const RegValue* RegHive::FindValue(std::string_view path, std::string_view name) const {
    const RegKeyNode* key = Find(path);
    if (!key) return nullptr;
    const auto it = std::find_if(key->values.begin(), key->values.end(), [&](const RegValue& v) {
        return EqualsIgnoringAsciiCase(v.name, name);
    });
    return it == key->values.end() ? nullptr : &*it;
}

void RegHive::EnsureKey(std::string_view path) {
    // Walk from the top so that parents are listed before their children.
    std::size_t end = 0;
    while (end != std::string_view::npos) {
        end = path.find('\\', end == 0 ? 0 : end + 1);
        const std::string_view prefix = path.substr(0, end);
        if (!Find(prefix)) keys_.push_back(RegKeyNode{std::string(prefix), {}});
    }
}

void RegKeyNode::Put(RegValue value) {
    const auto it = std::find_if(values.begin(), values.end(), [&](const RegValue& v) {
        return EqualsIgnoringAsciiCase(v.name, value.name);
    });
    if (it == values.end()) {
        values.push_back(std::move(value));
    } else {
        it->type = value.type;
        it->data = std::move(value.data);
    }
}

void RegHive::SetValue(std::string_view path, RegValue value) {
    EnsureKey(path);
    Find(path)->Put(std::move(value));
}

std::vector<std::string> RegHive::SubkeyNames(std::string_view path) const {
    std::vector<std::string> names;
    std::string_view rest;
    for (const RegKeyNode& key : keys_) {
        if (!IsBelow(key.path, path, rest)) continue;
        const std::string_view child = rest.substr(0, rest.find('\\'));
        const bool seen = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
            return EqualsIgnoringAsciiCase(name, child);
        });
        if (!seen) names.emplace_back(child);
    }
    return names;
}

RegKeyNode& RegHive::AddParsedKey(std::string_view path) {
    if (RegKeyNode* key = Find(path)) return *key;
    return keys_.emplace_back(RegKeyNode{std::string(path), {}});
}

}  // namespace vk
