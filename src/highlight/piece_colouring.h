#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "highlight/color_stream.h"
#include "highlight/rtf_reader.h"

namespace vk {

// The formats of one stretch of a script, as its coloured RTF reads back.
struct ColouredPiece {
    std::size_t offset = 0;  // where the piece starts in the script
    std::size_t length = 0;  // bytes; the runs cover exactly these
    std::vector<RtfFormat> formats;
    RtfRuns runs;
};

struct PieceColouringOptions {
    // Pieces end after the first CR LF at or past this many bytes. Small
    // pieces keep each one's RTF in the processor's cache between writing
    // and reading it.
    std::size_t pieceSize = 64 * 1024;
    // Below this size the whole script is one piece, coloured on the calling
    // thread: a helper thread would cost more than it saves.
    std::size_t parallelFrom = 64 * 1024;
    // As TColorStream::SetOutputLimit, for the RTF of each piece.
    std::optional<std::size_t> outputLimit;
};

// Where a script splits into pieces: the offset each piece starts at, the
// first one 0. A piece ends right after a CR LF, where no token can run on,
// so the pieces' tokens are exactly the whole script's.
[[nodiscard]] std::vector<std::size_t> PieceStarts(std::string_view script, std::size_t pieceSize);

// Colours `script` exactly as the colour stream does, through its RTF and the
// RTF reader, a piece at a time on a helper thread and on the calling one.
// The calling thread first runs `meanwhile` (for the work that must stay on
// it, such as handing the text to the editor), then colours pieces too.
//
// Throws EConversionFailed when a conversion fails and vk::Exception when an
// RTF cannot be read or does not give its piece back byte for byte. What
// `meanwhile` throws passes through. The helper thread has always ended when
// this returns or throws.
[[nodiscard]] std::vector<ColouredPiece> ColourInPieces(std::string_view script,
                                                        const ClassFonts& fonts,
                                                        const PieceColouringOptions& options,
                                                        const std::function<void()>& meanwhile);

}  // namespace vk
