#include "editor/coloured_load.h"

#include <exception>
#include <utility>
#include <vector>

#include "highlight/piece_colouring.h"

namespace vk {

bool LoadColouredScript(ScriptEditor& editor, std::string_view script,
                        const TColorStream& colours) {
    PieceColouringOptions options;
    options.outputLimit = colours.OutputLimit();
    std::vector<ColouredPiece> pieces;
    try {
        pieces = ColourInPieces(script, colours.Fonts(), options,
                                [&] { editor.LoadTextToColour(script); });
    } catch (const Exception&) {
        return false;
    }
    editor.SetTextFormats(std::move(pieces));
    return true;
}

}  // namespace vk
