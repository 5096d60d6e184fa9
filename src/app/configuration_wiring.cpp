#include "app/configuration_wiring.h"

#include <QAction>

#include "app/main_window.h"
#include "browser/code_browser.h"
#include "editor/script_editor.h"
#include "highlight/class_looks.h"
#include "highlight/color_stream.h"
#include "settings/configuration_dialog.h"
#include "settings/settings.h"

namespace vk {
void ApplyConfiguration(TfMain& main) {
    ScriptEditor& editor = *main.reScript();
    {
        ScriptEditor::DetachedNotifications detached(editor, ScriptEditor::OnAttach::Nothing);
        const ScriptEditor::FrozenRedraw frozen(editor);
        const bool modified = editor.IsModified();
        const EditorSelection selection = editor.SaveSelection();
        const int firstVisible = editor.FirstVisibleLine();
        const long xOffset = editor.SendScintilla(QsciScintillaBase::SCI_GETXOFFSET);
        editor.SetTextLimit(main.Settings().TextLimitBytes());
        // The editor font chosen in the dialog, for the whole text.
        const TFont& font = main.ColorStream().FontOf(TokenClass::Whitespace);
        editor.SetEditorFont(font.name, font.size);
        editor.SelectAll();
        main.ConfigureTabPositions();
        // The open script takes the colour scheme as a whole, not line by
        // line as it is edited. Styles only: the text, its undo history and
        // the modified flag are not touched.
        if (editor.isEnabled())
            editor.RecolourRange(0, editor.TextLength(),
                                 ClassLooksAsLoaded(main.ColorStream().Fonts()));
        editor.RestoreSelection(selection);
        editor.SetModified(modified);
        editor.ScrollToLine(firstVisible);
        editor.SendScintilla(QsciScintillaBase::SCI_SETXOFFSET,
                             static_cast<unsigned long>(xOffset));
    }
    main.ApplyCodeBrowserSetting();
    emit main.configurationApplied();
}

TfConfiguration& AttachConfiguration(TfMain& main) {
    auto* dialog = new TfConfiguration(main.Settings(), main.ColorStream(),
                                       main.CodeBrowser().Images(), main.Messages(), &main);
    QObject::connect(main.Actions().acShowConfiguration, &QAction::triggered, dialog,
                     [&main, dialog] {
                         main.RunCommand([&main, dialog] {
                             if (dialog->ShowModal()) ApplyConfiguration(main);
                         });
                     });
    const struct {
        QAction* item;
        TfConfiguration::Page page;
    } items[] = {
        {main.MenuItems().miConfigEditor, TfConfiguration::Page::Layout},
        {main.MenuItems().miConfigFilterBuilder, TfConfiguration::Page::Assistant},
        {main.MenuItems().miConfigCodeBrowser, TfConfiguration::Page::CodeBrowser},
    };
    for (const auto& [item, page] : items) {
        QObject::connect(item, &QAction::triggered, dialog, [&main, dialog, page = page] {
            dialog->ShowPage(page);
            main.Actions().acShowConfiguration->trigger();
        });
    }
    return *dialog;
}

}  // namespace vk
