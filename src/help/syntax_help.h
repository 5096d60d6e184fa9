#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QLabel;
class QWidget;

namespace vk {

class ScriptEditor;
class TfHelpList;
class TSettings;
class TSyntaxList;

// What F1 does for each help system of the settings' list.
inline constexpr std::string_view kHelpNotSupported = "Help System not yet supported";

// The syntax help of the script editor: the syntax line of the word at the
// caret in a status panel after every caret move, and the "Syntax Help"
// command (F1), which opens the topic of that word, through a chooser when
// several topics match.
class TSyntaxHelp : public QObject {
    Q_OBJECT
public:
    // Listens to the editor's caret moves; `panel` shows the syntax line,
    // `owner` owns the chooser and the viewer, `addWarning` takes the
    // "not yet supported" notes. The index and the settings outlive this.
    TSyntaxHelp(const TSyntaxList& index, ScriptEditor& editor, QLabel& panel,
                const TSettings& settings, QWidget& owner,
                std::function<void(std::string_view)> addWarning);

    // The word at the end of the selection (see HelpWordAt); nothing inside
    // a string or a comment.
    [[nodiscard]] std::optional<std::string> GetWordAtCaret() const;
    // Panel := the syntax line of the word at the caret. A word that no
    // entry matches empties the panel, and so does syntax help switched off
    // ("Disable syntax help"): a line kept from an earlier word would stand
    // beside a word it does not describe.
    void UpdateSyntaxLine();
    // F1: every enabled help system, in the settings' order; nothing while
    // syntax help is switched off.
    void miSyntaxHelpClick();
    // Opens the topic of `word`: at once when one entry begins with it,
    // through the chooser when several do; nothing when none does.
    void ShowHelpTopics(const std::string& word);

    // Opens a topic file; the desktop's viewer or the program's own by default.
    std::function<void(const QString& path)> openTopic;
    // Shows the chooser modally and returns its result (QDialog::exec by
    // default), so that a test can answer it.
    std::function<int(TfHelpList& chooser)> runChooser;

private:
    const TSyntaxList& index_;
    ScriptEditor& editor_;
    QLabel& panel_;
    const TSettings& settings_;
    QWidget& owner_;
    std::function<void(std::string_view)> addWarning_;
};

}  // namespace vk
