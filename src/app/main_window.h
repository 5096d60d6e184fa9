#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_actions.h"
#include "app/main_menus.h"
#include "app/main_toolbars.h"
#include "common/status_sink.h"

class QLabel;
class QPlainTextEdit;
class QSplitter;
class QToolButton;
class QTreeWidget;

namespace vk {

class MessageService;
class ScriptEditor;
class TCodeBrowser;
class TColorStream;
class TSettings;

// The main window `fMain`: the script editor with the code browser on its
// left and the warnings panel under it, the status bar, the toolbars and the
// main menu. Every command runs through RunCommand, so an error it raises is
// shown in the error box and the window stays usable.
class TfMain : public QMainWindow, public StatusSink {
    Q_OBJECT
public:
    static constexpr int kStatusPanelCount = 4;
    static constexpr int kWarningsMinHeight = 30;

    TfMain(TSettings& settings, MessageService& messages, QWidget* parent = nullptr);
    ~TfMain() override;

    // Status panel 0. Nothing happens while "Display status" is off. A
    // message is shown when its level is 0 or not lower than the last
    // message's, so a late intermediate message (level 1) never overwrites
    // the opening message (level 0) of a newer operation at a deeper level;
    // the empty text shows "Ready". The panel is repainted at once, since
    // long operations do not return to the event loop. Text is Windows-1252.
    void SetStatus(std::string_view text, int level) override;

    // Keeps the message panel 0 shows through the reports of background
    // work (BackgroundStatus) until ReleaseStatus, or until another
    // operation writes its own message: for a message the user must get to
    // see although the idle rescan reports after every keystroke.
    void HoldStatus() { statusHeld_ = true; }
    void ReleaseStatus() { statusHeld_ = false; }
    [[nodiscard]] bool StatusHeld() const { return statusHeld_; }
    // Where work that runs by itself (the code browser's idle rescan)
    // reports: as SetStatus, except that a held message stays.
    [[nodiscard]] StatusSink& BackgroundStatus() { return backgroundStatus_; }

    // Appends a line to the warnings memo and opens the warnings panel to at
    // least kWarningsMinHeight when it is lower.
    void AddWarning(std::string_view text);
    // Collapses the warnings panel; its lines stay in the memo.
    void HideWarnings();
    [[nodiscard]] int WarningsHeight() const;

    // Applies "Tab width" and "Gutter width" to the editor.
    void ConfigureTabPositions();

    // acEnableEdit: enables the editor, clears its modified flag and the
    // "Modified" panel.
    void EnableEdit();

    // The "Modified" indicator: status panel 1 and the marker in the title.
    void ShowModified(bool modified);
    // What the window title names: "Form — Category — Database — Vellumkit"
    // with the parts chosen so far, a "*" after the form while the script
    // has unsaved changes, and "Vellumkit" alone before anything is chosen.
    // Names are Windows-1252.
    void SetOpenNames(std::string_view database, std::string_view category, std::string_view form);

    // The unsaved-changes prompt: when the editor is modified, asks "Save
    // changes first ?". Yes asks for the update (updateRequested) and goes
    // on once the script is
    // stored; a failed update is shown and counts as Cancel, so no edit is
    // dropped. No goes on without saving. False: the caller must stop with
    // nothing changed.
    [[nodiscard]] bool PromptSaveChanges();

    // Shows or hides the code browser by the "Disable" setting.
    void ApplyCodeBrowserSetting();
    // The code browser's width beside the editor: where the divider stands.
    // It is stored with the window placement; the first start shows names of
    // 20 characters whole.
    [[nodiscard]] int CodeBrowserWidth() const;
    void SetCodeBrowserWidth(int width);
    [[nodiscard]] int DefaultCodeBrowserWidth() const;

    // Runs one command; an exception it raises is shown in the error box.
    // Returns false when the command failed.
    bool RunCommand(const std::function<void()>& command);

    // The coloured-RTF stream with the class fonts, made when the window is.
    TColorStream& ColorStream() const { return *colorStream_; }
    // The code browser tree's scans, icons and jumps.
    TCodeBrowser& CodeBrowser() const { return *codeBrowser_; }
    TSettings& Settings() const { return settings_; }
    MessageService& Messages() const { return messages_; }

    const MainActions& Actions() const { return actions_; }
    const MainMenuItems& MenuItems() const { return menuItems_; }
    const MainToolbars& Toolbars() const { return toolbars_; }
    const ScriptMenu& EditorMenu() const { return scriptMenu_; }
    ScriptEditor* reScript() const { return reScript_; }
    QTreeWidget* tvCodeBrowser() const { return tvCodeBrowser_; }
    QPlainTextEdit* meWarnings() const { return meWarnings_; }
    QToolButton* sbHideWarnings() const { return sbHideWarnings_; }
    QLabel* StatusPanel(int index) const { return statusPanels_.at(static_cast<size_t>(index)); }

signals:
    // Write the editor's script back into Commence (acUpdate, acUpdateAndFocus
    // and "Yes" to "Save changes first ?"). The listener runs the update as a
    // command of its own (RunCommand), so a failure is shown, not thrown.
    void updateRequested();
    // Bring the Commence window of the current database to the front.
    void focusCommenceRequested();
    // The configuration dialog closed with OK and the window has applied the
    // editor settings; behaviours that follow other settings apply theirs.
    void configurationApplied();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildCentralArea();
    void BuildStatusBar();
    void ConnectCommands();
    void Connect(QAction* action, std::function<void()> command);
    void FormCreate();
    void PlaceAtDefault();
    // `clamped` gets a text for each font value that could not be used.
    void ApplyEditorFont(std::vector<std::string>* clamped = nullptr);

    // Runs on every change of the editor text, unless the editor's
    // notifications are held back (ScriptEditor::DetachedNotifications).
    void reScriptChange();
    void UpdateTitle();
    void UpdateAndFocus();
    void ShowAbout();

    TSettings& settings_;
    MessageService& messages_;

    MainActions actions_;
    MainMenuItems menuItems_;
    MainToolbars toolbars_;
    ScriptMenu scriptMenu_;

    QWidget* pnMain_ = nullptr;
    QSplitter* splHor_ = nullptr;
    QTreeWidget* tvCodeBrowser_ = nullptr;
    QSplitter* splVer_ = nullptr;
    ScriptEditor* reScript_ = nullptr;
    QWidget* pnWarnings_ = nullptr;
    QToolButton* sbHideWarnings_ = nullptr;
    QPlainTextEdit* meWarnings_ = nullptr;
    std::array<QLabel*, kStatusPanelCount> statusPanels_{};

    int lastStatusLevel_ = 0;
    bool statusHeld_ = false;
    class BackgroundStatusSink final : public StatusSink {
    public:
        explicit BackgroundStatusSink(TfMain& main) : main_(main) {}
        void SetStatus(std::string_view text, int level) override;

    private:
        TfMain& main_;
    };
    BackgroundStatusSink backgroundStatus_{*this};

    std::unique_ptr<TColorStream> colorStream_;
    // Destroyed before the tree and editor it works on (a member goes before
    // the window's child widgets).
    std::unique_ptr<TCodeBrowser> codeBrowser_;

    // The names the title shows: form, category, database; and the marker.
    std::array<std::string, 3> openNames_;
    bool modifiedShown_ = false;
};

}  // namespace vk
