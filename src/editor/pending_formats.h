#pragma once

#include <cstddef>
#include <vector>

#include "editor/script_editor.h"
#include "highlight/piece_colouring.h"

namespace vk {

// The formats of a coloured load that the control has not been given yet:
// the pieces' runs from `styledTo` on, with each piece's formats already
// turned into styles.
struct ScriptEditor::PendingFormats {
    std::vector<ColouredPiece> pieces;
    std::vector<std::vector<char>> styleOf;  // per piece: format index -> style
    std::size_t length = 0;                  // text covered by the pieces
    std::size_t piece = 0;
    RtfRuns::Iterator run;
    std::size_t usedOfRun = 0;  // bytes of the current run already styled
    std::size_t styledTo = 0;   // the control has every style before this

    void EnterPiece() {
        while (piece < pieces.size() && pieces[piece].runs.empty()) ++piece;
        if (piece < pieces.size()) run = pieces[piece].runs.begin();
        usedOfRun = 0;
    }
};

}  // namespace vk
