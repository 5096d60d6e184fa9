#include "help/syntax_help.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <algorithm>
#include <memory>

#include "editor/ansi_text.h"
#include "editor/script_editor.h"
#include "help/caret_word.h"
#include "help/help_list_dialog.h"
#include "help/syntax_list.h"
#include "help/topic_viewer.h"
#include "settings/settings.h"

namespace vk {
namespace {

enum class HelpAction { Lookup, NotSupported, Nothing };

// What F1 does for a help system, by its name wherever it stands in the order.
HelpAction ActionFor(std::string_view name) {
    if (name == "VBScript 3.1") return HelpAction::Lookup;
    if (name == "Custom HTMLHelp file" || name == "Microsoft Windows Script 5.0 Documentation" ||
        name == "Microsoft Windows Script 5.5 Documentation")
        return HelpAction::NotSupported;
    return HelpAction::Nothing;  // the 5.6 documentation has no lookup of its own
}

}  // namespace

TSyntaxHelp::TSyntaxHelp(const TSyntaxList& index, ScriptEditor& editor, QLabel& panel,
                         const TSettings& settings, QWidget& owner,
                         std::function<void(std::string_view)> addWarning)
    : QObject(&owner),
      index_(index),
      editor_(editor),
      panel_(panel),
      settings_(settings),
      owner_(owner),
      addWarning_(std::move(addWarning)) {
    openTopic = [this](const QString& path) { OpenHelpTopic(path, owner_); };
    runChooser = [](TfHelpList& chooser) { return chooser.exec(); };
    connect(&editor_, &ScriptEditor::scriptSelectionChanged, this, &TSyntaxHelp::UpdateSyntaxLine);
}

std::optional<std::string> TSyntaxHelp::GetWordAtCaret() const {
    // Only the caret's line is fetched, not the whole script: this runs on
    // every caret move.
    const int end = editor_.SelStart() + editor_.SelLength();
    const int line = editor_.LineFromChar(end);
    return HelpWordAt(editor_.Line(line), static_cast<std::size_t>(end - editor_.LineIndex(line)));
}

void TSyntaxHelp::UpdateSyntaxLine() {
    // A word without an entry (and no word at all: in a string, a comment or
    // on blanks) leaves the line as it was. "Disable syntax help" stops only
    // the lookups of F1, not this line.
    if (index_.Count() == 0) return;
    const std::optional<std::string> word = GetWordAtCaret();
    if (!word) return;
    const std::optional<std::string> syntax = index_.SyntaxLine(*word);
    if (!syntax) return;
    const QString text = FromAnsi(*syntax);
    if (panel_.text() != text) panel_.setText(text);
}

void TSyntaxHelp::miSyntaxHelpClick() {
    if (!settings_.syntaxHelpEnabled) return;
    const std::optional<std::string> word = GetWordAtCaret();
    for (const HelpFile& help : settings_.helpFiles) {
        if (!help.enabled) continue;
        switch (ActionFor(help.name)) {
            case HelpAction::Lookup:
                // A word in a string or a comment has no topic.
                if (word) ShowHelpTopics(*word);
                break;
            case HelpAction::NotSupported:
                addWarning_(kHelpNotSupported);
                break;
            case HelpAction::Nothing:
                break;
        }
    }
}

void TSyntaxHelp::ShowHelpTopics(const std::string& word) {
    const std::vector<std::size_t> found = index_.AllStartingWith(word);
    if (found.empty()) return;
    const auto path = [this](std::size_t i) {
        return QFile::decodeName(index_.Topics()[i].path.c_str());
    };
    if (found.size() == 1) {
        openTopic(path(found.front()));
        return;
    }
    auto chooser = std::make_unique<TfHelpList>(&owner_);
    for (const std::size_t i : found) chooser->AddTopic(FromAnsi(index_.Topics()[i].text), path(i));
    chooser->setWindowTitle(QStringLiteral("Help topics for \"%1\"").arg(FromAnsi(word)));
    chooser->lbSelection()->setCurrentRow(0);
    if (runChooser(*chooser) != QDialog::Accepted) return;
    const QString chosen = chooser->SelectedPath();
    chooser.reset();
    if (!chosen.isEmpty()) openTopic(chosen);
}

}  // namespace vk
