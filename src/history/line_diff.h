#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

// One place where two versions of a text differ: `oldCount` lines of the
// first, from index `oldStart`, stand where the second has `newCount` lines
// from `newStart` (indexes count lines from 0). One count may be 0: a pure
// insertion or deletion, whose start is where it happens.
struct DiffHunk {
    std::size_t oldStart = 0;
    std::size_t oldCount = 0;
    std::size_t newStart = 0;
    std::size_t newCount = 0;
    bool operator==(const DiffHunk&) const = default;
};

// The changes that turn `before` into `after`, in text order, separated by
// at least one unchanged line. Lines are equal when their bytes are.
//
// Myers' O(ND) algorithm in linear space, as GNU diff and git run it: the
// shortest edit script, with the common start and end taken off first and
// lines found on only one side set aside (they can match nothing). A pair of
// texts so different that the search passes a few thousand edits deep is cut
// at the best point reached instead, so the time stays bounded; the result is
// then still a correct diff, only perhaps not the shortest.
[[nodiscard]] std::vector<DiffHunk> DiffLines(const std::vector<std::string>& before,
                                              const std::vector<std::string>& after);

// A number for each distinct line text, equal for equal texts: comparing
// numbers is faster than comparing lines, and numbering several versions
// with one LineNumbering lets them be compared with each other.
class LineNumbering {
public:
    using Id = std::uint32_t;

    // The numbers of `lines`, in order. The lines must outlive this object.
    [[nodiscard]] std::vector<Id> Number(const std::vector<std::string>& lines);
    // Makes room for `more` lines at least, for a caller that knows how many
    // will come.
    void Reserve(std::size_t more);
    // How many distinct texts have been numbered.
    [[nodiscard]] std::size_t Count() const { return texts_.size(); }

private:
    // An open-addressing table of the texts seen, by hash: numbering is most
    // of the work of a diff, and a node per line in a std::unordered_map
    // made it twice as slow.
    struct Slot {
        std::uint32_t hash = 0;  // the high half of the text's hash
        Id id = kFree;
    };
    static constexpr Id kFree = ~Id{0};

    [[nodiscard]] Id NumberOf(std::string_view text, std::uint64_t hash);

    std::vector<Slot> slots_;              // a power of two in size, at most half full
    std::vector<std::string_view> texts_;  // by number
};

// DiffLines on numbered lines; `distinct` is more than the largest number.
[[nodiscard]] std::vector<DiffHunk> DiffNumbered(std::span<const LineNumbering::Id> before,
                                                 std::span<const LineNumbering::Id> after,
                                                 std::size_t distinct);

}  // namespace vk
