#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/script_selection.h"
#include "commence/queries.h"
#include "editor/script_editor.h"

class QMenu;
class QToolButton;

namespace vk {

class ScriptWatch;
class TColorStream;
class TfMain;
struct FormLocation;

// What the user works on: one Commence database, one category of it, one
// detail form of that category, and the form's script in the editor. Runs the
// chain database -> categories -> forms -> script on the main window's
// actions, menus and toolbar buttons; loads a checked-out script coloured
// (uncoloured when colouring fails, so nothing is lost); writes it back; and
// asks "Save changes first ?" before unsaved changes would be dropped.
//
// Names are Windows-1252 text. Every operation runs on the user-interface
// thread; errors leave it as exceptions (the menu and action handlers show
// them in the error box).
class TEditingContext : public QObject, private SelectionView {
    Q_OBJECT
public:
    TEditingContext(TfMain& main, TColorStream& colors);
    ~TEditingContext() override;

    [[nodiscard]] const std::string& CurrentDatabase() const { return selection_.Database(); }
    [[nodiscard]] const std::string& CurrentCategory() const { return selection_.Category(); }
    [[nodiscard]] const std::string& CurrentForm() const { return selection_.Form(); }
    // The selection the toolbar's menus drive.
    [[nodiscard]] ScriptSelection& Selection() { return selection_; }

    // acLoadDatabases: the Databases menu from both hives' directories, in
    // the user's collation, case-insensitive; a check mark at each database
    // Commence has open unless "No DDE Check" is on.
    void LoadDatabases();
    // Makes the database current (after the unsaved-changes question when
    // it is another one) and lists its categories.
    void DatabaseClick(const std::string& name);
    // acLoadCategories: lists the categories of the current database; a
    // single category is picked at once. Throws EDBNotReady (and forgets the
    // database) when Commence does not answer.
    void LoadCategories();
    void CategoryClick(const std::string& name);
    // acLoadForms: lists the forms of the current category; a single form is
    // picked at once. Silent when Commence does not answer.
    void LoadForms();
    // Asks about unsaved changes (also for the same form) and opens the
    // form's script.
    void FormClick(const std::string& name);
    // Opens a database and, when given, a category and form of it as picking
    // them from the menus does (the start-up options --database, --category
    // and --form). Each pick's failure is shown in the error box as a menu
    // pick's is, and ends the chain.
    void OpenSelection(const std::string& database, const std::string& category,
                       const std::string& form);
    // Checks the current form's script out and shows it.
    void OpenScript() override;
    // Puts a checked-out script into the editor, coloured when that works and
    // else as it stands, enables the editor and verifies the checksum tag.
    bool FileToEditor(const std::string& script);
    // acUpdate: refreshes the tags and checks the script in. A refusal goes
    // to an error box, a lost Commence to the status line; either leaves the
    // script in the editor, modified.
    void UpdateToCommence();
    // acSaveToDisk: the canonical text to a file of the user's choice, tags
    // untouched.
    void SaveToDisk();
    // acFocusCommence.
    void FocusCommence();
    // acShowChecksum.
    void ShowChecksum();

    // The machine names the saved tag carries, read once.
    [[nodiscard]] const MachineNames& Machine() const { return machine_; }

    // Called when the category changes, for the filter builder's list.
    std::function<void()> onCategoryChanged;

    // Told what becomes of the script in the editor (opened, about to be
    // checked in, stored, closed); none at start.
    void SetScriptWatch(ScriptWatch* watch) { watch_ = watch; }

private:
    void Connect();
    // Lets the window's shortcuts (Ctrl+U, Ctrl+S, ...) win over the
    // editor's own key bindings (QScintilla takes Ctrl+U for lower case).
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Clears the editor for a new database or category: its text, modified
    // flag and panels go, and it stays disabled and silent until a load.
    void ResetEditor();
    void ShowSelection();

    // What the selection asks of its view.
    bool ConfirmLeavingScript() override;
    void DropScript() override { ResetEditor(); }
    void DatabaseChosen() override;
    void CategoryChanged() override;
    void CategoriesListed() override;
    void FormsListed() override;
    void SelectionChanged() override { ShowSelection(); }
    [[nodiscard]] FormLocation Location() const;
    void Run(const std::function<void()>& command);
    void LoadPlain(const std::string& bytes);

    TfMain& main_;
    TColorStream& colors_;
    ScriptEditor& editor_;
    MachineNames machine_;

    ScriptSelection selection_;

    // Held from a database or category change until the next load.
    std::optional<ScriptEditor::DetachedNotifications> silenced_;

    ScriptWatch* watch_ = nullptr;
};

}  // namespace vk
