#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "language/syntax_tree.h"

namespace vk::language {

// Case folding for names: ASCII letters and the letters À-Þ of Windows-1252
// map to lower case, so that the names the engine takes as one are one here.
// (Every byte pair this folds together differs in bit 0x20 alone, which the
// hash below relies on.)
inline constexpr std::array<std::uint8_t, 256> kFoldedByte = [] {
    std::array<std::uint8_t, 256> fold{};
    for (unsigned c = 0; c < 256; ++c) fold[c] = static_cast<std::uint8_t>(c);
    for (unsigned c = 'A'; c <= 'Z'; ++c) fold[c] = static_cast<std::uint8_t>(c + 32);
    for (unsigned c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) fold[c] = static_cast<std::uint8_t>(c + 32);
    return fold;
}();

// What the table looks a name up by: a hash that ignores case, and the
// name's first eight bytes as they are (zero-padded), which settle most
// comparisons at once. The hash takes eight bytes at a time, each with bit
// 0x20 set, so that names equal after folding hash alike (others may
// collide; the table compares them).
struct NameKey {
    std::uint32_t hash = 0;
    std::uint64_t head = 0;
};

// `readable` says how many bytes from `chars` may be read, at least `length`.
[[nodiscard]] inline NameKey KeyOfName(const char* chars, std::size_t length,
                                       std::size_t readable) noexcept {
    constexpr std::uint64_t kCase = 0x2020202020202020ull;
    constexpr std::uint64_t kMultiplier = 0xff51afd7ed558ccdull;
    const auto load = [](const char* from, std::size_t count, std::size_t canRead) {
        std::uint64_t word = 0;
        if (canRead >= 8 && std::endian::native == std::endian::little) {
            // Eight bytes can be read: load them whole, keep the name's.
            std::memcpy(&word, from, 8);
            if (count < 8) word &= ~std::uint64_t{0} >> (8 * (8 - count));
        } else {
            std::memcpy(&word, from, count < 8 ? count : 8);
        }
        return word;
    };
    NameKey key;
    std::uint64_t hash = 0x9e3779b97f4a7c15ull ^ length;
    for (std::size_t at = 0; at < length; at += 8) {
        const std::size_t count = length - at < 8 ? length - at : 8;
        const std::uint64_t word = load(chars + at, count, readable - at);
        if (at == 0) key.head = word;
        hash = (hash ^ (word | (kCase >> (8 * (8 - count))))) * kMultiplier;
        hash ^= hash >> 29;
    }
    key.hash = static_cast<std::uint32_t>(hash >> 32) ^ static_cast<std::uint32_t>(hash);
    return key;
}
[[nodiscard]] inline NameKey KeyOfName(std::string_view name) noexcept {
    return KeyOfName(name.data(), name.size(), name.size());
}

// The names met in one text, each with an id, starting with the seeded names
// (keywords, words, the engine's and the host's names) at fixed ids. Names
// point into the text being read, which must outlive the table's use.
class NameTable {
public:
    NameTable();

    // Back to the seeded names only, keeping the memory.
    void Reset();
    // Room for about `names` names without growing on the way.
    void Reserve(std::size_t names);

    [[nodiscard]] NameId Intern(const char* chars, std::uint32_t length, NameKey key) {
        // Most names are short and met before, in their first slot.
        const Slot& slot = slots_[key.hash & (slots_.size() - 1)];
        if (slot.hash == key.hash && slot.head == key.head && length <= 8 && slot.id != kFree)
            return slot.id;
        return InternSlowly(chars, length, key);
    }
    [[nodiscard]] NameId Intern(std::string_view name) {
        return Intern(name.data(), static_cast<std::uint32_t>(name.size()), KeyOfName(name));
    }

    [[nodiscard]] std::uint32_t Count() const noexcept {
        return static_cast<std::uint32_t>(entries_.size());
    }
    [[nodiscard]] static std::uint32_t SeedCount() noexcept;
    [[nodiscard]] std::string_view Spelling(NameId id) const noexcept {
        return {entries_[id].chars, entries_[id].length};
    }

    // Copies every name into the tree's own storage.
    void CopyInto(SyntaxTree& tree) const;

private:
    explicit NameTable(int empty);
    [[nodiscard]] NameId InternSlowly(const char* chars, std::uint32_t length, NameKey key);

    struct Entry {
        const char* chars;
        std::uint32_t length;
        std::uint32_t hash;
        std::uint64_t head;
    };
    void Grow(std::size_t slots);

    // A slot holds the key beside the id, so that a name of up to eight
    // bytes met again is found without a look at its entry. Names hold no
    // NUL byte, so equal heads of short names mean equal lengths too.
    struct Slot {
        std::uint64_t head = 0;
        std::uint32_t hash = 0;
        std::uint32_t id = kFree;
    };
    static constexpr std::uint32_t kFree = static_cast<std::uint32_t>(-1);

    std::vector<Entry> entries_;
    std::vector<Slot> slots_;
};

}  // namespace vk::language
