#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "common/text_helpers.h"

namespace vk {

// Value types with the numbers the Windows registry gives them, so a hive file
// can carry types this program does not use (hex(2), hex(7), ...) unchanged.
enum class RegType : std::uint32_t {
    String = 1,  // REG_SZ
    Binary = 3,  // REG_BINARY
    Dword = 4,   // REG_DWORD
};

// One named value. `data` holds the raw bytes: the characters of a string
// (no terminating NUL), the four little-endian bytes of a dword, or the bytes
// of any other type. An empty name is the key's default value ("@").
struct RegValue {
    std::string name;
    std::uint32_t type = 0;
    std::string data;
    bool operator==(const RegValue&) const = default;
};

// One key with its full path below the hive ("Software\Thornmere"; the empty
// path is the hive's root) and its values in file order. Values are found by
// name through an index, so a key with very many values is still cheap to
// fill and to search.
class RegKeyNode {
public:
    explicit RegKeyNode(std::string keyPath) : path(std::move(keyPath)) {}

    std::string path;

    [[nodiscard]] const std::vector<RegValue>& Values() const { return values_; }
    [[nodiscard]] const RegValue* Find(std::string_view name) const;

    // Sets or replaces the value; a replaced value keeps the spelling its
    // name was created with, as in the registry.
    void Put(RegValue value);

    bool operator==(const RegKeyNode& other) const {
        return path == other.path && values_ == other.values_;
    }

private:
    std::vector<RegValue> values_;
    std::unordered_map<std::string, std::size_t> index_;  // lower-cased name -> position
};

// The keys of one hive in creation (file) order. A key exists when it is
// listed or when one of its descendants is, as a .reg file may name a deep key
// without its parents. Paths and value names compare without regard to ASCII
// case. Every lookup goes through an index, so building a hive of n keys and
// values takes time linear in n.
class RegHive {
public:
    [[nodiscard]] bool KeyExists(std::string_view path) const;
    [[nodiscard]] const RegValue* FindValue(std::string_view path, std::string_view name) const;

    // Lists the key and each missing ancestor, parents first.
    void EnsureKey(std::string_view path);
    // Creates the key when needed, then sets (or replaces) the value.
    void SetValue(std::string_view path, RegValue value);

    // The names of the direct subkeys in the order they first appear.
    [[nodiscard]] std::vector<std::string> SubkeyNames(std::string_view path) const;

    [[nodiscard]] const std::vector<RegKeyNode>& Keys() const { return keys_; }
    // Adds a key as read from a file, or returns the one already listed under
    // that path (a repeated section merges into the first). The reference
    // lasts until the next key is added.
    RegKeyNode& AddParsedKey(std::string_view path);

    bool operator==(const RegHive& other) const { return keys_ == other.keys_; }

private:
    [[nodiscard]] const RegKeyNode* Find(std::string_view path) const;
    RegKeyNode& List(std::string_view path);

    std::vector<RegKeyNode> keys_;
    std::unordered_map<std::string, std::size_t> listed_;  // lower-cased path -> position
    // Every key that exists, listed or not (lower-cased paths), and the
    // subkey names below each, in the order they first appeared.
    std::unordered_set<std::string> existing_;
    std::unordered_map<std::string, std::vector<std::string>> children_;
};

// Whether `path` is a usable key path: components separated by single
// backslashes, none empty, no CR, LF or NUL. The empty
// path (the root) is valid.
[[nodiscard]] bool IsValidKeyPath(std::string_view path);

// Whether `name` can be a value name: no CR, LF or NUL.
[[nodiscard]] bool IsValidValueName(std::string_view name);

}  // namespace vk
