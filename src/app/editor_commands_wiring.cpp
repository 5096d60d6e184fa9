#include "app/editor_commands_wiring.h"

#include <QAction>

#include "app/main_window.h"
#include "editor/block_indenter.h"
#include "editor/line_recolourer.h"
#include "editor/script_editor.h"
#include "highlight/color_stream.h"

namespace vk {
namespace {

// A command of an action; what it throws goes to the error box.
template <typename Command>
void OnTriggered(TfMain& main, QAction* action, Command command) {
    QObject::connect(action, &QAction::triggered, main.reScript(),
                     [&main, command] { main.RunCommand(command); });
}

}  // namespace

EditorCommands AttachEditorCommands(TfMain& main) {
    EditorCommands commands;
    ScriptEditor& editor = *main.reScript();
    const TColorStream& colours = main.ColorStream();
    commands.recolourer =
        new TLineRecolourer(editor, [&colours]() -> const ClassFonts& { return colours.Fonts(); });

    TBlockIndenter* indenter = new TBlockIndenter(editor, *commands.recolourer, main.Settings());
    commands.indenter = indenter;
    OnTriggered(main, main.Actions().acIndentBlock, [indenter] { indenter->IndentBlock(); });
    OnTriggered(main, main.Actions().acUnindentBlock, [indenter] { indenter->UnindentBlock(); });
    return commands;
}

}  // namespace vk
