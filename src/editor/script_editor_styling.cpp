// The coloured load: the text first, its styles as the control needs them.

#include <algorithm>
#include <cstring>
#include <string>

#include "editor/pending_formats.h"
#include "editor/script_editor.h"

namespace vk {
namespace {

// Styles handed over per request at least: one screen asks for a few
// kilobytes, and fewer, larger hand-overs cost less.
constexpr std::size_t kStyleAhead = 64 * 1024;
constexpr std::size_t kBlock = 64 * 1024;

}  // namespace

void ScriptEditor::LoadTextToColour(std::string_view bytes) {
    styles_.Reset(styles_.Base());
    LoadText(bytes);
}

void ScriptEditor::SetTextFormats(std::vector<ColouredPiece> pieces) {
    DropPendingFormats();
    plainTextMode_ = false;
    auto pending = std::make_unique<PendingFormats>();
    pending->length = static_cast<std::size_t>(TextLength());
    std::size_t covered = 0;
    for (ColouredPiece& piece : pieces) {
        // Every format gets its style now: defining styles while the
        // control draws would disturb the drawing.
        std::vector<char> styles;
        styles.reserve(piece.formats.size());
        for (const RtfFormat& f : piece.formats)
            styles.push_back(static_cast<char>(StyleFor(
                TextFormat{f.face, f.sizeHalfPoints, f.color & 0xFFFFFF, f.bold, f.italic})));
        covered += piece.runs.TextLength();
        pending->styleOf.push_back(std::move(styles));
    }
    // Text the pieces do not cover keeps the base style the load gave it.
    pending->length = std::min(pending->length, covered);
    pending->pieces = std::move(pieces);
    pending->EnterPiece();
    if (pending->length > 0) pending_ = std::move(pending);
}

void ScriptEditor::DropPendingFormats() const { pending_.reset(); }

void ScriptEditor::EnsureStyledTo(std::size_t pos) const {
    if (!pending_ || pos <= pending_->styledTo) return;
    PendingFormats& p = *pending_;
    const std::size_t target = std::min(p.length, std::max(pos, p.styledTo + kStyleAhead));

    std::string block(std::min(target - p.styledTo, kBlock), '\0');
    std::size_t filled = 0;
    Send(SCI_STARTSTYLING, static_cast<unsigned long>(p.styledTo), 0xFF);
    auto flush = [&] {
        SendScintilla(SCI_SETSTYLINGEX, static_cast<uintptr_t>(filled), block.data());
        p.styledTo += filled;
        filled = 0;
    };
    while (p.styledTo + filled < target && p.piece < p.pieces.size()) {
        const RtfRun& run = *p.run;
        const char style = p.styleOf[p.piece][run.format];
        const std::size_t count = std::min(
            {run.length - p.usedOfRun, block.size() - filled, target - p.styledTo - filled});
        std::memset(block.data() + filled, style, count);
        filled += count;
        p.usedOfRun += count;
        if (p.usedOfRun == run.length) {
            ++p.run;
            p.usedOfRun = 0;
            if (p.run == p.pieces[p.piece].runs.end()) {
                ++p.piece;
                p.EnterPiece();
            }
        }
        if (filled == block.size()) flush();
    }
    if (filled > 0) flush();
    if (p.styledTo >= p.length || p.piece >= p.pieces.size()) pending_.reset();
}

int ScriptEditor::StyleAt(int pos) const {
    if (pos < 0 || pos >= TextLength()) return 0;  // the base format's style
    EnsureStyledTo(static_cast<std::size_t>(pos) + 1);
    return static_cast<int>(Send(SCI_GETSTYLEAT, static_cast<unsigned long>(pos)) & 0xFF);
}

}  // namespace vk
