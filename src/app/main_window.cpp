#include "app/main_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "app/about.h"
#include "app/code_browser_wiring.h"
#include "app/command_runner.h"
#include "app/configuration_wiring.h"
#include "app/find_wiring.h"
#include "app/window_placement.h"
#include "browser/code_browser.h"
#include "common/messages.h"
#include "editor/ansi_text.h"
#include "editor/script_editor.h"
#include "highlight/class_fonts.h"
#include "highlight/color_stream.h"
#include "settings/font.h"
#include "settings/settings.h"

namespace vk {
namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;
constexpr std::string_view kSaveChangesQuestion = "Save changes first ?";

}  // namespace

TfMain::TfMain(TSettings& settings, MessageService& messages, QWidget* parent)
    : QMainWindow(parent), settings_(settings), messages_(messages) {
    setObjectName(QStringLiteral("fMain"));
    setWindowTitle(QStringLiteral("Vellumkit"));
    actions_ = BuildMainActions(*this);
    menuItems_ = BuildMainMenu(*this, actions_);
    toolbars_ = BuildMainToolbars(*this, actions_);
    BuildCentralArea();
    BuildStatusBar();
    ConnectCommands();
    FormCreate();
    codeBrowser_ = AttachCodeBrowser(*this);
    AttachConfiguration(*this);
    AttachFindAndGoto(*this);
}

TfMain::~TfMain() = default;

bool TfMain::RunCommand(const std::function<void()>& command) {
    return vk::RunCommand(messages_, command);
}

void TfMain::Connect(QAction* action, std::function<void()> command) {
    connect(action, &QAction::triggered, this,
            [this, command = std::move(command)] { RunCommand(command); });
}

void TfMain::ConnectCommands() {
    Connect(actions_.acEnableEdit, [this] { EnableEdit(); });
    connect(actions_.acUpdate, &QAction::triggered, this, [this] { emit updateRequested(); });
    connect(actions_.acFocusCommence, &QAction::triggered, this,
            [this] { emit focusCommenceRequested(); });
    Connect(actions_.acUpdateAndFocus, [this] { UpdateAndFocus(); });

    Connect(menuItems_.miExit, [this] { close(); });
    // The editing items act on the editor only while a script is open: the
    // disabled editor would still take a paste.
    const auto onEditor = [this](QAction* item, std::function<void(ScriptEditor&)> edit) {
        Connect(item, [this, edit = std::move(edit)] {
            if (reScript_->isEnabled()) edit(*reScript_);
        });
    };
    onEditor(menuItems_.miUndo, [](ScriptEditor& e) { e.undo(); });
    onEditor(menuItems_.miRedo, [](ScriptEditor& e) { e.redo(); });
    onEditor(menuItems_.miCut, [](ScriptEditor& e) { e.cut(); });
    onEditor(menuItems_.miCopy, [](ScriptEditor& e) { e.copy(); });
    onEditor(menuItems_.miPaste, [](ScriptEditor& e) { e.paste(); });
    onEditor(scriptMenu_.miDelete, [](ScriptEditor& e) { e.removeSelectedText(); });
    onEditor(menuItems_.miSelectAll, [](ScriptEditor& e) { e.SelectAll(); });
    Connect(menuItems_.miAbout, [this] { ShowAbout(); });

    connect(sbHideWarnings_, &QToolButton::clicked, this, [this] { HideWarnings(); });
}

void TfMain::FormCreate() {
    PlaceAtDefault();
    // A stored value that could not be used as it stands is said once, here
    // at start; the registry keeps it (only the configuration dialog's OK
    // and the placement at close write there).
    std::vector<std::string> clamped = settings_.clampedValues;
    for (std::string& text : LoadWindowPlacement(*this, settings_.registry()))
        clamped.push_back(std::move(text));
    if (const std::optional<int> width = LoadCodeBrowserWidth(settings_.registry())) {
        // The window is on its screen by now; a tree wider than the window
        // would leave no room for the editor.
        if (*width < this->width()) {
            SetCodeBrowserWidth(*width);
        } else {
            clamped.push_back("The stored Code Browser Width " + std::to_string(*width) +
                              " does not fit in the window; " +
                              std::to_string(DefaultCodeBrowserWidth()) + " is used.");
        }
    }
    toolbars_.tbbDatabases->setText(QStringLiteral("Databases"));
    ApplyCodeBrowserSetting();
    colorStream_ = std::make_unique<TColorStream>(LoadClassFonts(settings_.registry()));

    {
        // Setting up the editor is no edit: nothing is reported when the
        // notifications come back.
        ScriptEditor::DetachedNotifications detached(*reScript_, ScriptEditor::OnAttach::Nothing);
        ApplyEditorFont(&clamped);
        reScript_->SelectAll();
        ConfigureTabPositions();
        reScript_->SetCaret(0);
        reScript_->SetModified(false);
        ShowModified(false);
    }
    connect(reScript_, &ScriptEditor::scriptChanged, this, [this] { reScriptChange(); });
    // Said from the running loop, once the window has its size: the warnings
    // panel opens to its least height below the editor, which it cannot
    // work out before (it would take the editor's place).
    if (!clamped.empty()) {
        QTimer::singleShot(0, this, [this, clamped = std::move(clamped)] {
            for (const std::string& text : clamped) AddWarning(text);
        });
    }
}

void TfMain::PlaceAtDefault() {
    resize(kDefaultWidth, kDefaultHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->availableGeometry();
        move(desktop.center() - QPoint(kDefaultWidth / 2, kDefaultHeight / 2));
    }
}

void TfMain::ApplyEditorFont(std::vector<std::string>* clamped) {
    TFont font;
    LoadEditorFont(settings_.registry(), font, clamped);
    reScript_->SetEditorFont(font.name, font.size);
}

void TfMain::ConfigureTabPositions() {
    SetStatus("Configuring Tab positions", 0);
    reScript_->SetTabWidth(settings_.tabWidth);
    reScript_->SetGutterWidth(settings_.gutterWidth);
    SetStatus("", 1);
}

void TfMain::ApplyCodeBrowserSetting() {
    if (codeBrowser_)
        codeBrowser_->SwitchCodeBrowser();
    else
        tvCodeBrowser_->setVisible(!settings_.codeBrowserDisabled);
}

void TfMain::reScriptChange() { ShowModified(true); }

void TfMain::ShowModified(bool modified) {
    QLabel* panel = StatusPanel(1);
    const QString text = modified ? QStringLiteral("Modified") : QString();
    if (panel->text() != text) panel->setText(text);
    if (modified == modifiedShown_) return;
    modifiedShown_ = modified;
    UpdateTitle();
}

void TfMain::SetOpenNames(std::string_view database, std::string_view category,
                          std::string_view form) {
    openNames_ = {std::string(form), std::string(category), std::string(database)};
    UpdateTitle();
}

void TfMain::UpdateTitle() {
    QStringList parts;
    for (const std::string& name : openNames_) {
        if (name.empty()) continue;
        QString part = FromAnsi(name);
        // The marker goes with the first name: the form whose script it is.
        if (parts.isEmpty() && modifiedShown_ && !openNames_[0].empty()) part += QLatin1Char('*');
        parts << part;
    }
    parts << QStringLiteral("Vellumkit");
    setWindowTitle(parts.join(QStringLiteral(" \u2014 ")));
}

void TfMain::EnableEdit() {
    reScript_->setEnabled(true);
    reScript_->SetModified(false);
    ShowModified(false);
}

void TfMain::UpdateAndFocus() {
    // Commence comes to the front also when the update failed: the user sees
    // the error and the database together.
    emit updateRequested();
    emit focusCommenceRequested();
}

bool TfMain::PromptSaveChanges() {
    if (!reScript_->IsModified()) return true;
    switch (
        messages_.Show(kSaveChangesQuestion, MessageIcon::Question, MessageButtons::YesNoCancel)) {
        case MessageAnswer::Cancel:
            return false;
        case MessageAnswer::Yes:
            emit updateRequested();
            // A check-in that did not go through leaves the script modified.
            // Going on would drop the user's edits with the editor's text, so
            // the operation stops as after Cancel and the user can try again.
            return !reScript_->IsModified();
        default:
            return true;
    }
}

void TfMain::closeEvent(QCloseEvent* event) {
    const bool close = PromptSaveChanges();
    SaveWindowPlacement(*this, settings_.registry());
    if (!tvCodeBrowser_->isHidden()) SaveCodeBrowserWidth(settings_.registry(), CodeBrowserWidth());
    if (close)
        event->accept();
    else
        event->ignore();
}

void TfMain::ShowAbout() {
    messages_.Show(AboutText(), MessageIcon::Information, MessageButtons::Ok, kAboutTitle);
}

bool TfMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == reScript_->viewport() && event->type() == QEvent::ContextMenu) {
        scriptMenu_.pmScript->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace vk
