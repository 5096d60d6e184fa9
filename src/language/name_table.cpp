#include "language/name_table.h"

#include <utility>

#include "language/builtin_names.h"

namespace vk::language {
namespace {

bool SameName(const char* a, const char* b, std::uint32_t length) noexcept {
    for (std::uint32_t i = 0; i < length; ++i)
        if (a[i] != b[i] && kFoldedByte[static_cast<unsigned char>(a[i])] !=
                                kFoldedByte[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

}  // namespace

NameTable::NameTable() {
    // Built once and copied: a fresh table for every check costs a copy of
    // a few kilobytes, not a few hundred insertions.
    static const NameTable seeded = [] {
        NameTable table(0);
        for (const SeedName& seed : SeedNames()) (void)table.Intern(seed.name);
        return table;
    }();
    *this = seeded;
}

NameTable::NameTable(int /*empty*/) : slots_(1024) {}

std::uint32_t NameTable::SeedCount() noexcept {
    return static_cast<std::uint32_t>(SeedNames().size());
}

void NameTable::Reset() {
    if (entries_.size() == SeedCount()) return;
    // Cheaper than clearing a grown table slot by slot: start from the seeds.
    *this = NameTable();
}

NameId NameTable::InternSlowly(const char* chars, std::uint32_t length, NameKey key) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = key.hash & mask;; i = (i + 1) & mask) {
        Slot& slot = slots_[i];
        if (slot.id == kFree) {
            const auto id = static_cast<NameId>(entries_.size());
            entries_.push_back({chars, length, key.hash, key.head});
            slot = {key.head, key.hash, id};
            if (entries_.size() * 2 > slots_.size()) Grow(slots_.size() * 2);
            return id;
        }
        if (slot.hash != key.hash) continue;
        // Mostly the same spelling again: the heads settle short names.
        if (slot.head == key.head && length <= 8) return slot.id;
        const Entry& entry = entries_[slot.id];
        if (entry.length == length && SameName(entry.chars, chars, length)) return slot.id;
    }
}

void NameTable::Reserve(std::size_t names) {
    std::size_t slots = slots_.size();
    while (slots < names * 2) slots *= 2;
    if (slots > slots_.size()) Grow(slots);
}

void NameTable::Grow(std::size_t size) {
    std::vector<Slot> slots(size);
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t id = 0; id < entries_.size(); ++id) {
        const Entry& entry = entries_[id];
        std::size_t i = entry.hash & mask;
        while (slots[i].id != kFree) i = (i + 1) & mask;
        slots[i] = {entry.head, entry.hash, id};
    }
    slots_ = std::move(slots);
}

void NameTable::CopyInto(SyntaxTree& tree) const {
    std::size_t total = 0;
    for (const Entry& entry : entries_) total += entry.length;
    tree.nameChars.clear();
    tree.nameChars.reserve(total);
    tree.nameStarts.assign(1, 0);
    tree.nameStarts.reserve(entries_.size() + 1);
    for (const Entry& entry : entries_) {
        tree.nameChars.append(entry.chars, entry.length);
        tree.nameStarts.push_back(static_cast<std::uint32_t>(tree.nameChars.size()));
    }
}

}  // namespace vk::language
