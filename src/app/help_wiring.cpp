#include "app/help_wiring.h"

#include <QAction>

#include "app/main_window.h"
#include "help/syntax_help.h"
#include "help/syntax_list.h"

namespace vk {

TSyntaxList LoadHelpTopicIndex(Registry& registry) {
    return TSyntaxList::FromFolder(GetHelpInstallDir(registry));
}

TSyntaxHelp& AttachSyntaxHelp(TfMain& main, const TSyntaxList& index) {
    auto* help = new TSyntaxHelp(index, *main.reScript(), *main.StatusPanel(3), main.Settings(),
                                 main, [&main](std::string_view text) { main.AddWarning(text); });
    help->setObjectName(QStringLiteral("SyntaxHelp"));
    QObject::connect(main.MenuItems().miSyntaxHelp, &QAction::triggered, help,
                     [&main, help] { main.RunCommand([help] { help->miSyntaxHelpClick(); }); });
    // "Disable syntax help" takes effect at the dialog's OK, not at the next
    // caret move.
    QObject::connect(&main, &TfMain::configurationApplied, help, &TSyntaxHelp::UpdateSyntaxLine);
    return *help;
}

}  // namespace vk
