#include "app/editor_commands_wiring.h"

#include "app/main_window.h"
#include "editor/line_recolourer.h"
#include "editor/script_editor.h"
#include "highlight/color_stream.h"

namespace vk {

EditorCommands AttachEditorCommands(TfMain& main) {
    EditorCommands commands;
    const TColorStream& colours = main.ColorStream();
    commands.recolourer = new TLineRecolourer(
        *main.reScript(), [&colours]() -> const ClassFonts& { return colours.Fonts(); });
    return commands;
}

}  // namespace vk
