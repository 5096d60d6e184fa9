#include "editor/style_table.h"

#include <cstdlib>
#include <limits>

namespace vk {

namespace {

int ColorDistance(std::uint32_t a, std::uint32_t b) {
    int sum = 0;
    for (int shift = 0; shift < 24; shift += 8)
        sum +=
            std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    return sum;
}

}  // namespace

StyleTable::StyleTable(TextFormat base) { Reset(std::move(base)); }

void StyleTable::Reset(TextFormat base) {
    for (auto& f : formats_) f.reset();
    formats_[0] = std::move(base);
}

std::optional<int> StyleTable::Find(const TextFormat& format) const {
    for (int s = 0; s < kStyleCount; ++s)
        if (formats_[static_cast<std::size_t>(s)] == format) return s;
    return std::nullopt;
}

std::optional<int> StyleTable::Allocate(const TextFormat& format, bool& isNew) {
    isNew = false;
    if (auto found = Find(format)) return found;
    for (int s = 1; s < kStyleCount; ++s) {
        auto& slot = formats_[static_cast<std::size_t>(s)];
        if (IsReserved(s) || slot) continue;
        slot = format;
        isNew = true;
        return s;
    }
    return std::nullopt;
}

void StyleTable::Release(const std::array<bool, kStyleCount>& used) {
    for (int s = 1; s < kStyleCount; ++s)
        if (!used[static_cast<std::size_t>(s)]) formats_[static_cast<std::size_t>(s)].reset();
}

int StyleTable::Nearest(const TextFormat& format) const {
    int best = 0;
    long bestScore = std::numeric_limits<long>::max();
    for (int s = 0; s < kStyleCount; ++s) {
        const auto& f = formats_[static_cast<std::size_t>(s)];
        if (!f) continue;
        long score = ColorDistance(f->color, format.color);
        if (f->bold != format.bold) score += 1'000;
        if (f->italic != format.italic) score += 1'000;
        if (f->face != format.face || f->sizeHalfPoints != format.sizeHalfPoints) score += 10'000;
        if (score < bestScore) {
            bestScore = score;
            best = s;
        }
    }
    return best;
}

int StyleTable::AllocatedCount() const {
    int n = 0;
    for (const auto& f : formats_) n += f ? 1 : 0;
    return n;
}

void StyleTable::SetFontOfAll(const std::string& face, int sizeHalfPoints) {
    for (auto& f : formats_) {
        if (!f) continue;
        f->face = face;
        f->sizeHalfPoints = sizeHalfPoints;
    }
}

}  // namespace vk
