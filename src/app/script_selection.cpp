#include "app/script_selection.h"

#include <optional>

#include "commence/queries.h"
#include "common/exceptions.h"

namespace vk {

ScriptSelection::ScriptSelection(Registry& registry, SelectionView& view)
    : registry_(registry), view_(view) {}

void ScriptSelection::PickDatabase(const std::string& name) {
    if (name != databasesCaption_) {
        if (!view_.ConfirmLeavingScript()) return;
        view_.DropScript();
        categoriesCaption_ = kCategoriesCaption;
        formsCaption_ = kFormsCaption;
        // The forms listed belong to the old database's category.
        forms_.clear();
        category_.clear();
        form_.clear();
        view_.SelectionChanged();
    }
    database_ = name;
    view_.DatabaseChosen();
    LoadCategories();
}

void ScriptSelection::LoadCategories() {
    if (database_.empty()) return;
    categories_.clear();
    std::vector<std::string> names;
    try {
        names = LoadCategoryNames(registry_, database_);
    } catch (const EDBNotReady&) {
        databasesCaption_ = kDatabasesCaption;
        database_.clear();
        view_.SelectionChanged();
        throw;
    }
    categories_ = names;
    if (names.empty()) categoriesCaption_ = kNoCategoriesCaption;
    databasesCaption_ = database_;
    view_.SelectionChanged();
    view_.CategoriesListed();
    if (names.size() == 1) PickCategory(names.front());
}

void ScriptSelection::PickCategory(const std::string& name) {
    if (name != categoriesCaption_) {
        if (!view_.ConfirmLeavingScript()) return;
        view_.DropScript();
        formsCaption_ = kFormsCaption;
        form_.clear();
        category_ = name;
        view_.CategoryChanged();
    }
    category_ = name;
    categoriesCaption_ = name;
    view_.SelectionChanged();
    LoadForms();
}

void ScriptSelection::LoadForms() {
    if (category_.empty()) return;
    forms_.clear();
    const std::optional<std::vector<std::string>> names =
        LoadFormNames(registry_, database_, category_);
    if (!names) {
        view_.SelectionChanged();
        return;
    }
    forms_ = *names;
    view_.SelectionChanged();
    view_.FormsListed();
    if (names->size() == 1) PickForm(names->front());
}

void ScriptSelection::PickForm(const std::string& name) {
    if (!view_.ConfirmLeavingScript()) return;
    form_ = name;
    formsCaption_ = name;
    view_.SelectionChanged();
    view_.OpenScript();
}

void ScriptSelection::PickPath(const std::string& database, const std::string& category,
                               const std::string& form) {
    PickDatabase(database);
    if (database_ != database || category.empty()) return;
    if (category_ != category) PickCategory(category);
    if (category_ != category || form.empty()) return;
    if (form_ != form) PickForm(form);
}

}  // namespace vk
