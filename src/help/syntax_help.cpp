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

std::string TSyntaxHelp::GetWordAtCaret() const {
    const int end = editor_.SelStart() + editor_.SelLength();
    const int start = editor_.FindWordBreak(WordBreak::MoveWordLeft, end);
    const int stop = std::max(start, editor_.FindWordBreak(WordBreak::RightBreak, end));
    // Only the lines the word spans are fetched, not the whole script: this
    // runs on every caret move.
    const int firstLine = editor_.LineFromChar(start);
    const int lastLine = editor_.LineFromChar(stop);
    std::string text;
    for (int line = firstLine; line <= lastLine; ++line) {
        if (line > firstLine) text += "\r\n";
        text += editor_.Line(line);
    }
    const auto from = static_cast<std::size_t>(start - editor_.LineIndex(firstLine));
    const auto length = static_cast<std::size_t>(stop - start);
    return TrimCaretWord(std::string_view(text).substr(std::min(from, text.size()), length));
}

void TSyntaxHelp::UpdateSyntaxLine() {
    if (index_.Count() == 0) return;
    if (const std::optional<std::string> syntax = index_.SyntaxLine(GetWordAtCaret()))
        panel_.setText(FromAnsi(*syntax));
}

void TSyntaxHelp::miSyntaxHelpClick() {
    const std::string word = GetWordAtCaret();
    for (const HelpFile& help : settings_.helpFiles) {
        if (!help.enabled) continue;
        switch (ActionFor(help.name)) {
            case HelpAction::Lookup:
                ShowHelpTopics(word);
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
