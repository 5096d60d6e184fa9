#pragma once

#include <string_view>

#include "editor/script_editor.h"
#include "highlight/color_stream.h"

namespace vk {

// Loads a script into the editor coloured by the colour stream's class
// fonts: the script's RTF, read back, gives every character its format. The
// colouring runs in pieces on the other processor while the editor takes
// the text, and the editor styles what it shows as it shows it.
//
// False when the script cannot be coloured exactly (the conversion failed,
// or the RTF did not give the script back byte for byte); the editor's text
// is then undefined and the caller loads the script plain.
[[nodiscard]] bool LoadColouredScript(ScriptEditor& editor, std::string_view script,
                                      const TColorStream& colours);

}  // namespace vk
