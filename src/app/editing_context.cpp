#include "app/editing_context.h"

#include <QAction>
#include <QCollator>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolButton>
#include <algorithm>
#include <filesystem>

#include "app/main_window.h"
#include "app/name_menu.h"
#include "browser/code_browser.h"
#include "commence/database_menu.h"
#include "commence/focus.h"
#include "commence/transfer.h"
#include "common/exceptions.h"
#include "common/messages.h"
#include "document/checksum_check.h"
#include "editor/ansi_text.h"
#include "editor/coloured_load.h"
#include "editor/editor_script_lines.h"
#include "highlight/color_stream.h"
#include "history/script_watch.h"
#include "platform/window_finder.h"
#include "settings/settings.h"

namespace vk {
namespace {

// A message that must outlast the closing "Ready" of the operation that
// produced it (the load's checksum verdict, "Highlighting failed"): written
// at level 2, which a later level-1 message does not overwrite; the next
// operation's opening message does.
class LastingStatus final : public StatusSink {
public:
    explicit LastingStatus(StatusSink& inner) : inner_(inner) {}
    void SetStatus(std::string_view text, int level) override {
        inner_.SetStatus(text, std::max(level, 2));
    }

private:
    StatusSink& inner_;
};

// The user's collation, case-insensitive, on the names as the user reads them.
NameOrder CollatorOrder() {
    auto collator = std::make_shared<QCollator>();
    collator->setCaseSensitivity(Qt::CaseInsensitive);
    return [collator](std::string_view a, std::string_view b) {
        return collator->compare(FromAnsi(a), FromAnsi(b)) < 0;
    };
}

}  // namespace

TEditingContext::TEditingContext(TfMain& main, TColorStream& colors)
    : main_(main),
      colors_(colors),
      editor_(*main.reScript()),
      machine_(ReadMachineNames()),
      selection_(main.Settings().registry(), *this) {
    setObjectName(QStringLiteral("EditingContext"));
    Connect();
}

TEditingContext::~TEditingContext() = default;

void TEditingContext::Run(const std::function<void()>& command) { main_.RunCommand(command); }

void TEditingContext::Connect() {
    const MainActions& actions = main_.Actions();
    connect(actions.acLoadDatabases, &QAction::triggered, this,
            [this] { Run([this] { LoadDatabases(); }); });
    connect(actions.acLoadCategories, &QAction::triggered, this,
            [this] { Run([this] { LoadCategories(); }); });
    connect(actions.acLoadForms, &QAction::triggered, this,
            [this] { Run([this] { LoadForms(); }); });
    connect(actions.acSaveToDisk, &QAction::triggered, this,
            [this] { Run([this] { SaveToDisk(); }); });
    connect(actions.acShowChecksum, &QAction::triggered, this,
            [this] { Run([this] { ShowChecksum(); }); });
    // The window's requests: acUpdate, acFocusCommence, acUpdateAndFocus and
    // "Yes" to "Save changes first ?".
    connect(&main_, &TfMain::updateRequested, this,
            [this] { Run([this] { UpdateToCommence(); }); });
    connect(&main_, &TfMain::focusCommenceRequested, this,
            [this] { Run([this] { FocusCommence(); }); });
    editor_.installEventFilter(this);
}

bool TEditingContext::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &editor_ || event->type() != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (const QAction* action : main_.findChildren<QAction*>()) {
        // A menu's own shortcut (Ctrl+Z on Undo) stays the editor's key.
        if (action->shortcutContext() == Qt::WidgetShortcut) continue;
        if (action->isEnabled() && action->shortcuts().contains(pressed)) {
            // Left unaccepted and kept from the editor: the shortcut fires.
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

FormLocation TEditingContext::Location() const {
    return {selection_.Database(), selection_.Category(), selection_.Form()};
}

void TEditingContext::ResetEditor() {
    // Clearing is no edit: the notifications stay off until the next load
    // brings them back.
    if (!silenced_) silenced_.emplace(editor_, ScriptEditor::OnAttach::Nothing);
    editor_.Clear();
    editor_.SetModified(false);
    // The flag is clear, so the indicator must not say "Modified".
    main_.ShowModified(false);
    main_.StatusPanel(2)->clear();
    editor_.setEnabled(false);
    main_.CodeBrowser().ScriptClosed();
    if (watch_) watch_->ScriptClosed();
}

// --- Databases ----------------------------------------------------------------

void TEditingContext::LoadDatabases() {
    const std::vector<DatabaseMenuItem> items = BuildDatabaseMenu(
        main_.Settings().registry(), main_.Settings().noDdeCheck, CollatorOrder());
    std::vector<NameMenuEntry> entries;
    entries.reserve(items.size());
    for (const DatabaseMenuItem& item : items) entries.push_back({item.name, true, item.checked});
    FillNameMenu(*main_.Toolbars().pmDatabases, entries,
                 [this](const std::string& name) { Run([this, name] { DatabaseClick(name); }); });
}

void TEditingContext::DatabaseClick(const std::string& name) { selection_.PickDatabase(name); }

void TEditingContext::LoadCategories() { selection_.LoadCategories(); }

void TEditingContext::CategoryClick(const std::string& name) { selection_.PickCategory(name); }

void TEditingContext::LoadForms() { selection_.LoadForms(); }

void TEditingContext::FormClick(const std::string& name) { selection_.PickForm(name); }

void TEditingContext::OpenSelection(const std::string& database, const std::string& category,
                                    const std::string& form) {
    Run([&] { selection_.PickPath(database, category, form); });
}

// --- What the selection asks of the window ----------------------------------------

bool TEditingContext::ConfirmLeavingScript() { return main_.PromptSaveChanges(); }

void TEditingContext::DatabaseChosen() {
    main_.Actions().acFocusCommence->setEnabled(true);
    main_.Actions().acFilterBuilder->setEnabled(true);
}

void TEditingContext::CategoryChanged() {
    if (onCategoryChanged) onCategoryChanged();
}

void TEditingContext::CategoriesListed() { main_.Actions().acLoadCategories->setEnabled(true); }

void TEditingContext::FormsListed() { main_.Actions().acLoadForms->setEnabled(true); }

void TEditingContext::ShowSelection() {
    const MainToolbars& bars = main_.Toolbars();
    bars.tbbDatabases->setText(CaptionOf(selection_.DatabasesCaption()));
    bars.tbbCategories->setText(CaptionOf(selection_.CategoriesCaption()));
    bars.tbbForms->setText(CaptionOf(selection_.FormsCaption()));
    main_.SetOpenNames(selection_.Database(), selection_.Category(), selection_.Form());
    FillNameMenu(*bars.pmCategories, NameEntries(selection_.Categories()),
                 [this](const std::string& name) { Run([this, name] { CategoryClick(name); }); });
    FillNameMenu(*bars.pmForms, NameEntries(selection_.Forms()),
                 [this](const std::string& name) { Run([this, name] { FormClick(name); }); });
}

// --- The script -----------------------------------------------------------------

void TEditingContext::OpenScript() {
    if (selection_.Form().empty()) return;
    main_.StatusPanel(2)->clear();
    main_.meWarnings()->clear();
    main_.SetStatus("Opening script", 0);

    const std::string script =
        ScriptTransfer(main_.Settings().registry(), main_).CheckOut(Location());
    editor_.SetTextLimit(main_.Settings().TextLimitBytes());
    FileToEditor(script);
    if (watch_) watch_->ScriptOpened(Location(), script);
    main_.CodeBrowser().ScriptLoaded();

    const MainActions& actions = main_.Actions();
    for (QAction* action :
         {actions.acUpdate, actions.acUpdateAndFocus, actions.acSaveToDisk, actions.acIndentBlock,
          actions.acUnindentBlock, actions.acSetNextBookmark})
        action->setEnabled(true);
    editor_.setFocus();
    main_.SetStatus("", 1);
}

void TEditingContext::LoadPlain(const std::string& bytes) { editor_.SetPlainText(bytes); }

bool TEditingContext::FileToEditor(const std::string& script) {
    main_.SetStatus("Loading file into editor", 0);
    bool coloured = false;
    {
        ScriptEditor::DetachedNotifications detached(editor_,
                                                     ScriptEditor::OnAttach::SelectionChange);
        silenced_.reset();
        try {
            main_.SetStatus("Converting input stream", 0);
            const ScriptEditor::FrozenRedraw frozen(editor_);
            coloured = LoadColouredScript(editor_, script, colors_);
            if (coloured) {
                editor_.SelectAll();
                main_.ConfigureTabPositions();
                editor_.SetCaret(0);
            }
        } catch (const std::exception&) {
            coloured = false;
        }
        if (!coloured) {
            const ScriptEditor::FrozenRedraw frozen(editor_);
            LoadPlain(script);
            editor_.SetCaret(0);
        }
    }
    if (coloured) {
        main_.SetStatus("", 1);
    } else {
        LastingStatus lasting(main_);
        lasting.SetStatus("Highlighting failed", 1);
    }

    main_.EnableEdit();
    if (main_.Settings().applyChecksumTag) {
        LastingStatus lasting(main_);
        VerifyChecksumTag(editor_.CanonicalText(), lasting, main_.Messages());
    }
    return true;
}

void TEditingContext::UpdateToCommence() {
    main_.SetStatus("Updating script to Commence", 0);
    const TSettings& settings = main_.Settings();
    const CheckInTags tags{{settings.applyTimeTag, settings.applyIdTag, settings.applyChecksumTag},
                           machine_.computerName,
                           machine_.userName};
    CheckInResult result;
    // A change made in Commence since the script was opened is not
    // overwritten unasked; one that lands while the user is asked is found by
    // the guarded store, and asked about again.
    constexpr int kAttempts = 3;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        CheckInGuard guard;
        if (watch_ && !watch_->MayCheckIn(Location(), guard)) {
            main_.SetStatus("", 1);
            return;
        }
        EditorScriptLines lines(editor_);
        result = ScriptTransfer(settings.registry(), main_).CheckIn(Location(), lines, tags, guard);
        if (result.outcome != CheckInResult::Outcome::Changed) break;
    }
    switch (result.outcome) {
        case CheckInResult::Outcome::Stored:
            editor_.SetModified(false);
            main_.ShowModified(false);
            if (watch_) watch_->ScriptStored(Location(), editor_.CanonicalText());
            break;
        case CheckInResult::Outcome::Refused:
        case CheckInResult::Outcome::Changed:
            main_.Messages().Show(result.message, MessageIcon::Error, MessageButtons::Ok);
            break;
        case CheckInResult::Outcome::Unreachable:
            // Above the closing "Ready", which would hide it.
            main_.SetStatus(result.message, kLinkFailureStatusLevel);
            return;
    }
    main_.SetStatus("", 1);
}

void TEditingContext::SaveToDisk() {
    QFileDialog dialog(&main_, QStringLiteral("Save Script as"));
    dialog.setObjectName(QStringLiteral("sdSaveAs"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setNameFilters({QStringLiteral("Text Files (*.txt)"),
                           QStringLiteral("Commence VBScript Backup (*.cvb)"),
                           QStringLiteral("All Files (*.*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QByteArray path = QFile::encodeName(dialog.selectedFiles().constFirst());
    editor_.SetPlainTextMode(true);
    editor_.SaveToFile(std::filesystem::path(path.toStdString()));
}

void TEditingContext::FocusCommence() {
    WindowFinder windows;
    vk::FocusCommence(selection_.Database(), windows, main_.Messages());
}

void TEditingContext::ShowChecksum() {
    vk::ShowChecksum(editor_.CanonicalText(), main_.Messages());
}

}  // namespace vk
