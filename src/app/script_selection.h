#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vk {

class Registry;

// What a script selection asks of, and tells, whoever shows it. Called on the
// thread that drives the selection, in the order the steps happen.
class SelectionView {
public:
    virtual ~SelectionView() = default;
    // The unsaved-changes question before the script shown would be left.
    // False: the pick stops with nothing changed.
    virtual bool ConfirmLeavingScript() = 0;
    // The script shown belongs to the old database or category: the editor
    // goes empty, unmodified and disabled until the next script is opened.
    virtual void DropScript() = 0;
    // A database became current (picked or picked again).
    virtual void DatabaseChosen() = 0;
    // Another category became current (not called when the same one is
    // picked again).
    virtual void CategoryChanged() = 0;
    // The categories, or the forms, of the current selection were listed
    // (an empty list is a list).
    virtual void CategoriesListed() = 0;
    virtual void FormsListed() = 0;
    // Names, captions or lists changed: read them from the selection again.
    virtual void SelectionChanged() = 0;
    // The current form was picked: check its script out and show it.
    virtual void OpenScript() = 0;
};

// The chain database -> category -> form the user picks through, without any
// window: which names are current, what the three drop-down buttons say and
// what their menus list. The categories and forms come from Commence.
//
// Rules:
// - Another database (by caption) asks first, drops the script and clears
//   the category and form; the same database again only lists its
//   categories again. Another category drops the script and clears the form.
//   A form is asked about every time, also the same one again.
// - A database with a single category picks it at once, and a category with
//   a single form picks that one, so a database with one category and one
//   form opens its script straight away.
// - A database without categories says "No Categories!" on the Categories
//   button. A category without forms lists none; nothing is opened.
// - A database Commence does not answer for is forgotten (no current
//   database, "Databases" on its button) and EDBNotReady is thrown.
//
// Names are Windows-1252 text.
class ScriptSelection {
public:
    static constexpr std::string_view kDatabasesCaption = "Databases";
    static constexpr std::string_view kCategoriesCaption = "Categories";
    static constexpr std::string_view kNoCategoriesCaption = "No Categories!";
    static constexpr std::string_view kFormsCaption = "Forms";

    ScriptSelection(Registry& registry, SelectionView& view);

    [[nodiscard]] const std::string& Database() const { return database_; }
    [[nodiscard]] const std::string& Category() const { return category_; }
    [[nodiscard]] const std::string& Form() const { return form_; }
    // What the Databases, Categories and Forms buttons show.
    [[nodiscard]] const std::string& DatabasesCaption() const { return databasesCaption_; }
    [[nodiscard]] const std::string& CategoriesCaption() const { return categoriesCaption_; }
    [[nodiscard]] const std::string& FormsCaption() const { return formsCaption_; }
    // What the Categories and Forms menus list.
    [[nodiscard]] const std::vector<std::string>& Categories() const { return categories_; }
    [[nodiscard]] const std::vector<std::string>& Forms() const { return forms_; }

    void PickDatabase(const std::string& name);
    // Lists the current database's categories (nothing without one).
    void LoadCategories();
    void PickCategory(const std::string& name);
    // Lists the current category's forms (nothing without one); silent when
    // Commence does not answer.
    void LoadForms();
    void PickForm(const std::string& name);

    // Picks a database, then a category and a form of it when given, as
    // picking them from the menus one after the other does; a category or
    // form that a single-entry shortcut already made current is not picked a
    // second time.
    void PickPath(const std::string& database, const std::string& category = {},
                  const std::string& form = {});

private:
    Registry& registry_;
    SelectionView& view_;
    std::string database_;
    std::string category_;
    std::string form_;
    std::string databasesCaption_{kDatabasesCaption};
    std::string categoriesCaption_{kCategoriesCaption};
    std::string formsCaption_{kFormsCaption};
    std::vector<std::string> categories_;
    std::vector<std::string> forms_;
};

}  // namespace vk
