#include "history/three_way_merge.h"

#include <algorithm>
#include <span>
#include <tuple>

#include "history/line_diff.h"

namespace vk {
namespace {

using Ids = std::vector<LineNumbering::Id>;

// The hunks of one side, and how far its line numbers have moved from the
// base's so far.
struct Side {
    std::vector<DiffHunk> hunks;
    std::size_t next = 0;  // the first hunk not yet merged
    std::ptrdiff_t shift = 0;

    [[nodiscard]] bool StartsBy(std::size_t at) const {
        return next < hunks.size() && hunks[next].oldStart <= at;
    }
    // The side's lines for base lines [start, end) once the side's hunks
    // that fall there are taken.
    [[nodiscard]] LineRange Cover(std::size_t start, std::size_t end, std::ptrdiff_t after) const {
        const auto from = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(start) + shift);
        const auto to = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(end) + after);
        return {from, to - from};
    }
};

class Merger {
public:
    Merger(const std::vector<std::string>& base, const std::vector<std::string>& mine,
           const std::vector<std::string>& theirs, const MergeLabels& labels)
        : base_(base), mine_(mine), theirs_(theirs), labels_(labels) {
        LineNumbering numbering;
        numbering.Reserve(base.size() + mine.size() + theirs.size());
        baseIds_ = numbering.Number(base);
        mineIds_ = numbering.Number(mine);
        theirIds_ = numbering.Number(theirs);
        my_.hunks = DiffNumbered(baseIds_, mineIds_, numbering.Count());
        their_.hunks = DiffNumbered(baseIds_, theirIds_, numbering.Count());
    }

    MergeResult Run() {
        result_.lines.reserve(std::max(mine_.size(), theirs_.size()));
        std::size_t at = 0;  // the first base line not yet merged
        while (my_.next < my_.hunks.size() || their_.next < their_.hunks.size()) {
            std::size_t start = base_.size();
            if (my_.next < my_.hunks.size()) start = my_.hunks[my_.next].oldStart;
            if (their_.next < their_.hunks.size())
                start = std::min(start, their_.hunks[their_.next].oldStart);
            Unchanged(at, start);
            at = Changed(start);
        }
        Unchanged(at, base_.size());
        return std::move(result_);
    }

private:
    void Unchanged(std::size_t start, std::size_t end) {
        if (start >= end) return;
        MergeChunk chunk{MergeChunk::Kind::Unchanged,
                         {start, end - start},
                         my_.Cover(start, end, my_.shift),
                         their_.Cover(start, end, their_.shift),
                         {}};
        Emit(chunk, base_, chunk.base);
    }

    // Merges the changes that begin at base line `start` with every change
    // of either side that overlaps or touches them; returns the base line
    // after them.
    std::size_t Changed(std::size_t start) {
        std::size_t end = start;
        std::ptrdiff_t myShift = my_.shift, theirShift = their_.shift;
        bool mineChanged = false, theirsChanged = false;
        for (bool grew = true; grew;) {
            grew = false;
            for (auto [side, shift, changed] : {std::tuple{&my_, &myShift, &mineChanged},
                                                std::tuple{&their_, &theirShift, &theirsChanged}}) {
                while (side->StartsBy(end)) {
                    const DiffHunk& h = side->hunks[side->next++];
                    end = std::max(end, h.oldStart + h.oldCount);
                    *shift += static_cast<std::ptrdiff_t>(h.newCount) -
                              static_cast<std::ptrdiff_t>(h.oldCount);
                    *changed = grew = true;
                }
            }
        }
        MergeChunk chunk{MergeChunk::Kind::Conflict,
                         {start, end - start},
                         my_.Cover(start, end, myShift),
                         their_.Cover(start, end, theirShift),
                         {}};
        my_.shift = myShift;
        their_.shift = theirShift;
        if (!theirsChanged) {
            chunk.kind = MergeChunk::Kind::Mine;
            Emit(chunk, mine_, chunk.mine);
        } else if (!mineChanged) {
            chunk.kind = MergeChunk::Kind::Theirs;
            Emit(chunk, theirs_, chunk.theirs);
        } else if (SameLines(chunk.mine, chunk.theirs)) {
            chunk.kind = MergeChunk::Kind::Both;
            Emit(chunk, mine_, chunk.mine);
        } else {
            EmitConflict(chunk);
        }
        return end;
    }

    [[nodiscard]] bool SameLines(const LineRange& mine, const LineRange& theirs) const {
        const auto a = std::span(mineIds_).subspan(mine.start, mine.count);
        const auto b = std::span(theirIds_).subspan(theirs.start, theirs.count);
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

    void Append(const std::vector<std::string>& from, const LineRange& range) {
        result_.lines.insert(result_.lines.end(), from.begin() + range.start,
                             from.begin() + range.start + range.count);
    }

    void Emit(MergeChunk chunk, const std::vector<std::string>& from, const LineRange& range) {
        chunk.merged = {result_.lines.size(), range.count};
        Append(from, range);
        result_.chunks.push_back(chunk);
    }

    void EmitConflict(MergeChunk chunk) {
        const auto marker = [&](std::string_view mark, const std::string& label) {
            result_.lines.push_back(std::string(mark) + (label.empty() ? "" : " " + label));
        };
        const std::size_t first = result_.lines.size();
        marker(kConflictStart, labels_.mine);
        Append(mine_, chunk.mine);
        marker(kConflictBase, labels_.base);
        Append(base_, chunk.base);
        result_.lines.emplace_back(kConflictSeparator);
        Append(theirs_, chunk.theirs);
        marker(kConflictEnd, labels_.theirs);
        chunk.merged = {first, result_.lines.size() - first};
        result_.chunks.push_back(chunk);
        ++result_.conflicts;
    }

    const std::vector<std::string>& base_;
    const std::vector<std::string>& mine_;
    const std::vector<std::string>& theirs_;
    const MergeLabels& labels_;
    Ids baseIds_, mineIds_, theirIds_;
    Side my_, their_;
    MergeResult result_;
};

}  // namespace

MergeResult MergeLines(const std::vector<std::string>& base, const std::vector<std::string>& mine,
                       const std::vector<std::string>& theirs, const MergeLabels& labels) {
    return Merger(base, mine, theirs, labels).Run();
}

}  // namespace vk
