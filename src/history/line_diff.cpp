#include "history/line_diff.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace vk {
namespace {

using Id = LineNumbering::Id;
using Offset = std::ptrdiff_t;

// The search for the middle of an edit script gives up after this many
// rounds (about twice as many edits) on texts that differ throughout, and
// splits at the furthest point reached; the bound grows with the square root
// of the texts' length, as GNU diff's does.
constexpr Offset kMinTooExpensive = 4096;

// Where the search cut a range in two: each half is then diffed alone.
struct Split {
    Offset x = 0;
    Offset y = 0;
};

// Marks the lines of `x` and `y` that are not in a longest common
// subsequence of the two: Myers' linear-space divide and conquer, after GNU
// diff's compareseq and diag. The ranges waiting to be split are kept on a
// stack, so a long chain of splits cannot run out of call stack.
class EditScript {
public:
    EditScript(const std::vector<Id>& x, const std::vector<Id>& y, std::vector<char>& xChanged,
               std::vector<char>& yChanged)
        : x_(x),
          y_(y),
          xChanged_(xChanged),
          yChanged_(yChanged),
          forward_(x.size() + y.size() + 3),
          backward_(x.size() + y.size() + 3),
          offset_(static_cast<Offset>(y.size()) + 1) {
        const auto root = static_cast<Offset>(std::sqrt(double(x.size() + y.size() + 3)));
        tooExpensive_ = std::max(kMinTooExpensive, root);
    }

    void Run() {
        struct Range {
            Offset xoff, xlim, yoff, ylim;
        };
        std::vector<Range> pending{{0, Offset(x_.size()), 0, Offset(y_.size())}};
        while (!pending.empty()) {
            auto [xoff, xlim, yoff, ylim] = pending.back();
            pending.pop_back();
            while (xoff < xlim && yoff < ylim && x_[xoff] == y_[yoff]) ++xoff, ++yoff;
            while (xoff < xlim && yoff < ylim && x_[xlim - 1] == y_[ylim - 1]) --xlim, --ylim;
            if (xoff == xlim || yoff == ylim) {
                MarkChanged(xoff, xlim, yoff, ylim);
                continue;
            }
            const Split split = Middle(xoff, xlim, yoff, ylim);
            const bool atStart = split.x == xoff && split.y == yoff;
            const bool atEnd = split.x == xlim && split.y == ylim;
            if (atStart || atEnd) {
                // No cut that makes progress: taking the whole range as
                // changed is still a correct diff.
                MarkChanged(xoff, xlim, yoff, ylim);
                continue;
            }
            pending.push_back({split.x, xlim, split.y, ylim});
            pending.push_back({xoff, split.x, yoff, split.y});
        }
    }

private:
    Offset& Forward(Offset diagonal) {
        return forward_[static_cast<std::size_t>(diagonal + offset_)];
    }
    Offset& Backward(Offset diagonal) {
        return backward_[static_cast<std::size_t>(diagonal + offset_)];
    }

    void MarkChanged(Offset xoff, Offset xlim, Offset yoff, Offset ylim) {
        std::fill(xChanged_.begin() + xoff, xChanged_.begin() + xlim, 1);
        std::fill(yChanged_.begin() + yoff, yChanged_.begin() + ylim, 1);
    }

    // A point on a shortest edit script of the two ranges, found by searching
    // from both ends at once until the searches meet (diagonal k holds the
    // points with x - y = k). Both ranges are non-empty and differ in their
    // first and in their last line.
    Split Middle(Offset xoff, Offset xlim, Offset yoff, Offset ylim) {
        const Offset dmin = xoff - ylim;
        const Offset dmax = xlim - yoff;
        const Offset fmid = xoff - yoff;
        const Offset bmid = xlim - ylim;
        Offset fmin = fmid, fmax = fmid, bmin = bmid, bmax = bmid;
        const bool odd = ((fmid - bmid) & 1) != 0;
        Forward(fmid) = xoff;
        Backward(bmid) = xlim;
        for (Offset round = 1;; ++round) {
            // One more edit forward; the diagonals just outside hold sentinels.
            if (fmin > dmin)
                Forward(--fmin - 1) = -1;
            else
                ++fmin;
            if (fmax < dmax)
                Forward(++fmax + 1) = -1;
            else
                --fmax;
            for (Offset d = fmax; d >= fmin; d -= 2) {
                const Offset low = Forward(d - 1);
                const Offset high = Forward(d + 1);
                Offset x = low >= high ? low + 1 : high;
                Offset y = x - d;
                while (x < xlim && y < ylim && x_[x] == y_[y]) ++x, ++y;
                Forward(d) = x;
                if (odd && bmin <= d && d <= bmax && Backward(d) <= x) return {x, y};
            }
            // And one more backward.
            if (bmin > dmin)
                Backward(--bmin - 1) = std::numeric_limits<Offset>::max();
            else
                ++bmin;
            if (bmax < dmax)
                Backward(++bmax + 1) = std::numeric_limits<Offset>::max();
            else
                --bmax;
            for (Offset d = bmax; d >= bmin; d -= 2) {
                const Offset low = Backward(d - 1);
                const Offset high = Backward(d + 1);
                Offset x = low < high ? low : high - 1;
                Offset y = x - d;
                while (x > xoff && y > yoff && x_[x - 1] == y_[y - 1]) --x, --y;
                Backward(d) = x;
                if (!odd && fmin <= d && d <= fmax && x <= Forward(d)) return {x, y};
            }
            if (round >= tooExpensive_)
                return FurthestReached(xoff, xlim, yoff, ylim, fmin, fmax, bmin, bmax);
        }
    }

    // The point that either search has carried furthest into its range.
    Split FurthestReached(Offset xoff, Offset xlim, Offset yoff, Offset ylim, Offset fmin,
                          Offset fmax, Offset bmin, Offset bmax) {
        Offset forwardSum = -1, forwardX = xoff;
        for (Offset d = fmax; d >= fmin; d -= 2) {
            Offset x = std::min(Forward(d), xlim);
            Offset y = x - d;
            if (ylim < y) x = ylim + d, y = ylim;
            if (forwardSum < x + y) forwardSum = x + y, forwardX = x;
        }
        Offset backwardSum = std::numeric_limits<Offset>::max(), backwardX = xlim;
        for (Offset d = bmax; d >= bmin; d -= 2) {
            Offset x = std::max(xoff, Backward(d));
            Offset y = x - d;
            if (y < yoff) x = yoff + d, y = yoff;
            if (x + y < backwardSum) backwardSum = x + y, backwardX = x;
        }
        if ((xlim + ylim) - backwardSum < forwardSum - (xoff + yoff))
            return {forwardX, forwardSum - forwardX};
        return {backwardX, backwardSum - backwardX};
    }

    const std::vector<Id>& x_;
    const std::vector<Id>& y_;
    std::vector<char>& xChanged_;
    std::vector<char>& yChanged_;
    std::vector<Offset> forward_;   // furthest x reached forward, per diagonal
    std::vector<Offset> backward_;  // least x reached backward, per diagonal
    Offset offset_;                 // diagonal -(size of y) - 1 is index 0
    Offset tooExpensive_ = kMinTooExpensive;
};

// A quick 64-bit hash of a line: eight bytes at a time, then mixed so that
// the low bits, which pick a slot, depend on every byte.
std::uint64_t HashOf(std::string_view text) noexcept {
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = text.size() * kMultiplier;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        h = (std::rotl(h, 5) ^ word) * kMultiplier;
    }
    if (i < text.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + i, text.size() - i);
        h = (std::rotl(h, 5) ^ word) * kMultiplier;
    }
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return h;
}

// The lines of `side` whose text also occurs in the other side (`present`
// has bit `otherBit` for those), and their places in `side`; the others are
// marked changed at once.
void KeepMatchable(std::span<const Id> side, const std::vector<unsigned char>& present,
                   unsigned char otherBit, std::vector<Id>& kept, std::vector<std::size_t>& places,
                   std::vector<char>& changed) {
    kept.reserve(side.size());
    places.reserve(side.size());
    for (std::size_t i = 0; i < side.size(); ++i) {
        if (present[side[i]] & otherBit) {
            kept.push_back(side[i]);
            places.push_back(i);
        } else {
            changed[i] = 1;
        }
    }
}

}  // namespace

std::vector<LineNumbering::Id> LineNumbering::Number(const std::vector<std::string>& lines) {
    std::vector<Id> numbers;
    Reserve(lines.size());
    // The hashes first, then the look-ups, each slot asked of the memory a
    // few lines ahead: a table of this size is mostly out of the cache, and
    // waiting for one slot at a time was most of the time spent.
    std::vector<std::uint64_t> hashes(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) hashes[i] = HashOf(lines[i]);
    constexpr std::size_t kAhead = 8;
    const std::size_t mask = slots_.size() - 1;
    numbers.resize(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
#if defined(__GNUC__)
        if (i + kAhead < lines.size()) __builtin_prefetch(&slots_[hashes[i + kAhead] & mask]);
#endif
        numbers[i] = NumberOf(lines[i], hashes[i]);
    }
    return numbers;
}

LineNumbering::Id LineNumbering::NumberOf(std::string_view text, std::uint64_t hash) {
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        Slot& slot = slots_[at];
        if (slot.id == kFree) {
            slot = {tag, static_cast<Id>(texts_.size())};
            texts_.push_back(text);
            return slot.id;
        }
        if (slot.hash == tag && texts_[slot.id] == text) return slot.id;
    }
}

void LineNumbering::Reserve(std::size_t more) {
    // Growing rehashes every text seen: callers that know how many lines
    // will come reserve for all of them at once.
    const std::size_t wanted = std::bit_ceil(std::max<std::size_t>(64, 2 * (texts_.size() + more)));
    if (wanted <= slots_.size()) return;
    slots_.assign(wanted, Slot{});
    const std::size_t mask = wanted - 1;
    for (std::size_t id = 0; id < texts_.size(); ++id) {
        const std::uint64_t hash = HashOf(texts_[id]);
        std::size_t at = hash & mask;
        while (slots_[at].id != kFree) at = (at + 1) & mask;
        slots_[at] = {static_cast<std::uint32_t>(hash >> 32), static_cast<Id>(id)};
    }
}

std::vector<DiffHunk> DiffNumbered(std::span<const LineNumbering::Id> before,
                                   std::span<const LineNumbering::Id> after, std::size_t distinct) {
    // The common start and end are no part of any change.
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const auto a = before.subspan(prefix, before.size() - prefix - suffix);
    const auto b = after.subspan(prefix, after.size() - prefix - suffix);

    std::vector<char> aChanged(a.size(), 0);
    std::vector<char> bChanged(b.size(), 0);
    {
        // A line whose text the other side lacks is changed whatever the
        // rest does; leaving such lines out keeps the search short on texts
        // that were largely rewritten.
        std::vector<unsigned char> present(distinct, 0);
        for (const Id id : a) present[id] |= 1;
        for (const Id id : b) present[id] |= 2;
        std::vector<Id> x, y;
        std::vector<std::size_t> xPlaces, yPlaces;
        KeepMatchable(a, present, 2, x, xPlaces, aChanged);
        KeepMatchable(b, present, 1, y, yPlaces, bChanged);
        std::vector<char> xChanged(x.size(), 0);
        std::vector<char> yChanged(y.size(), 0);
        EditScript(x, y, xChanged, yChanged).Run();
        for (std::size_t i = 0; i < x.size(); ++i)
            if (xChanged[i]) aChanged[xPlaces[i]] = 1;
        for (std::size_t i = 0; i < y.size(); ++i)
            if (yChanged[i]) bChanged[yPlaces[i]] = 1;
    }

    // The unchanged lines of the two sides pair up in order; what lies
    // between two pairs is one hunk.
    std::vector<DiffHunk> hunks;
    std::size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (i < a.size() && j < b.size() && !aChanged[i] && !bChanged[j]) {
            ++i, ++j;
            continue;
        }
        DiffHunk hunk{prefix + i, 0, prefix + j, 0};
        for (; i < a.size() && aChanged[i]; ++i) ++hunk.oldCount;
        for (; j < b.size() && bChanged[j]; ++j) ++hunk.newCount;
        if (hunk.oldCount == 0 && hunk.newCount == 0)
            throw std::logic_error("diff: the unchanged lines of the two sides do not pair up");
        hunks.push_back(hunk);
    }
    return hunks;
}

std::vector<DiffHunk> DiffLines(const std::vector<std::string>& before,
                                const std::vector<std::string>& after) {
    LineNumbering numbering;
    numbering.Reserve(before.size() + after.size());
    const std::vector<LineNumbering::Id> a = numbering.Number(before);
    const std::vector<LineNumbering::Id> b = numbering.Number(after);
    return DiffNumbered(a, b, numbering.Count());
}

}  // namespace vk
