#include "app/filter_builder_wiring.h"

#include <QAction>

#include "app/editing_context.h"
#include "app/main_window.h"
#include "common/exceptions.h"
#include "editor/script_editor.h"
#include "filters/filter_builder.h"
#include "settings/settings.h"

namespace vk {

void ShowFilterBuilder(TfMain& main, TfFilterBuilder& builder, const std::string& database,
                       const std::string& category) {
    if (database.empty()) throw ENoCurrentDatabase("Please select a database first");
    ScriptEditor& editor = *main.reScript();
    const bool editable = editor.isEnabled();
    const int line = editor.LineFromChar(-1);
    const std::string caretLine = editable ? editor.Line(line) : std::string();
    if (!builder.Execute(database, category, caretLine) || !editable) return;

    // A command read back from the caret line is replaced by the new one,
    // unless the user chose what to replace by selecting it.
    if (const auto span = builder.ReadBackSpan(); span && editor.SelLength() == 0)
        editor.SetSel(editor.LineIndex(line) + static_cast<int>(span->first),
                      static_cast<int>(span->second - span->first));
    editor.ReplaceSelection(builder.ViewFilterText());
}

TfFilterBuilder& AttachFilterBuilder(TfMain& main, TEditingContext& context) {
    auto* builder =
        new TfFilterBuilder(main.Settings(), main.Messages(), main.Settings().registry(), &main);
    QObject::connect(main.Actions().acFilterBuilder, &QAction::triggered, builder,
                     [&main, &context, builder] {
                         main.RunCommand([&] {
                             ShowFilterBuilder(main, *builder, context.CurrentDatabase(),
                                               context.CurrentCategory());
                         });
                     });
    return *builder;
}

}  // namespace vk
