#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
// path is the hive's root) and its values in file order.
struct RegKeyNode {
    std::string path;
    std::vector<RegValue> values;
    bool operator==(const RegKeyNode&) const = default;

    // Sets or replaces the value; a replaced value keeps the spelling its
    // name was created with, as in the registry.
    void Put(RegValue value);
};

// The keys of one hive in creation (file) order. A key exists when it is
// listed or when one of its descendants is, as a .reg file may name a deep key
// without its parents. Paths and value names compare without regard to ASCII
// case.
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
    // that path (a repeated section merges into the first).
    RegKeyNode& AddParsedKey(std::string_view path);

    bool operator==(const RegHive&) const = default;

private:
    [[nodiscard]] const RegKeyNode* Find(std::string_view path) const;
    RegKeyNode* Find(std::string_view path);

    std::vector<RegKeyNode> keys_;
};

// Whether `path` is a usable key path: components separated by single
// backslashes, none empty, no CR, LF or NUL. The empty
// path (the root) is valid.
[[nodiscard]] bool IsValidKeyPath(std::string_view path);

// Whether `name` can be a value name: no CR, LF or NUL.
[[nodiscard]] bool IsValidValueName(std::string_view name);

// ASCII-only case-insensitive equality, as the registry compares names.
[[nodiscard]] bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace vk
