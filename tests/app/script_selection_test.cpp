// The database -> category -> form rules without a window, against the real
// Commence-compatible server.
#include "app/script_selection.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "common/exceptions.h"
#include "platform/registry.h"
#include "support/commence_fixture.h"

namespace vk::test {
namespace {

// Records what the selection tells its view, one word per call (changes of
// names and lists are read from the selection instead).
class RecordingView final : public SelectionView {
public:
    bool ConfirmLeavingScript() override {
        trace.push_back("ask");
        return !refuse;
    }
    void DropScript() override { trace.push_back("drop"); }
    void DatabaseChosen() override { trace.push_back("db"); }
    void CategoryChanged() override { trace.push_back("category"); }
    void CategoriesListed() override { trace.push_back("categories"); }
    void FormsListed() override { trace.push_back("forms"); }
    void SelectionChanged() override {}
    void OpenScript() override { trace.push_back("open"); }

    std::vector<std::string> trace;
    bool refuse = false;
};

struct Step {
    enum Kind { Database, Category, Form, Path, Refuse };
    Step(Kind k, std::string n, std::string c = {}, std::string f = {})
        : kind(k), name(std::move(n)), category(std::move(c)), form(std::move(f)) {}
    Kind kind;
    std::string name;
    std::string category;  // Path only
    std::string form;      // Path only
};

struct SelectionCase {
    const char* name;
    const char* database;  // changed before any server starts ("" for none)
    const char* sql;
    std::vector<Step> steps;
    std::vector<std::string> trace;  // of the last step
    std::string database_, category, form;
    std::string databasesCaption, categoriesCaption, formsCaption;
    std::vector<std::string> forms;
};

void Execute(const std::filesystem::path& file, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.string().c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

constexpr const char* kOnlyTechnician =
    "DELETE FROM forms WHERE category <> 'Technician';"
    "DELETE FROM fields WHERE category <> 'Technician';"
    "DELETE FROM items WHERE category <> 'Technician';"
    "DELETE FROM connections;"
    "DELETE FROM categories WHERE name <> 'Technician';";
constexpr const char* kNoCategories =
    "DELETE FROM forms; DELETE FROM fields; DELETE FROM items; DELETE FROM connections;"
    "DELETE FROM categories;";

using S = Step;

class ScriptSelectionTest : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(ScriptSelectionTest, FollowsThePickRules) {
    const SelectionCase& c = GetParam();
    CommenceFixture commence;
    if (*c.database) Execute(commence.DatabaseFolder(c.database) / "commence.db", c.sql);
    Registry registry(commence.RegistryDir());
    {
        auto key = registry.OpenKey(Hive::CurrentUser,
                                    "Software\\Commence\\Databases\\Lost\\Nowhere", true);
        ASSERT_TRUE(key);
        key->WriteString("Name", "Lost Base");
        key->WriteString("Path", (commence.Root() / "missing").string());
    }
    RecordingView view;
    ScriptSelection selection(registry, view);
    for (const Step& step : c.steps) {
        view.trace.clear();
        try {
            switch (step.kind) {
                case Step::Database:
                    selection.PickDatabase(step.name);
                    break;
                case Step::Category:
                    selection.PickCategory(step.name);
                    break;
                case Step::Form:
                    selection.PickForm(step.name);
                    break;
                case Step::Path:
                    selection.PickPath(step.name, step.category, step.form);
                    break;
                case Step::Refuse:
                    view.refuse = true;
                    break;
            }
        } catch (const Exception& e) {
            view.trace.push_back(std::string("error: ") + e.what());
        }
    }
    EXPECT_EQ(view.trace, c.trace);
    EXPECT_EQ(selection.Database(), c.database_);
    EXPECT_EQ(selection.Category(), c.category);
    EXPECT_EQ(selection.Form(), c.form);
    EXPECT_EQ(selection.DatabasesCaption(), c.databasesCaption);
    EXPECT_EQ(selection.CategoriesCaption(), c.categoriesCaption);
    EXPECT_EQ(selection.FormsCaption(), c.formsCaption);
    EXPECT_EQ(selection.Forms(), c.forms);
}

const std::vector<std::string> kAccountForms = {"Account", "Account (Short)", "Account Billing"};

INSTANTIATE_TEST_SUITE_P(
    Rules, ScriptSelectionTest,
    ::testing::Values(
        SelectionCase{"SingleFormOfACategoryOpensAtOnce",
                      "",
                      "",
                      {S{S::Database, "Field Service"}, S{S::Category, "Technician"}},
                      {"ask", "drop", "category", "forms", "ask", "open"},
                      "Field Service",
                      "Technician",
                      "Technician",
                      "Field Service",
                      "Technician",
                      "Technician",
                      {"Technician"}},
        SelectionCase{"CategoryWithoutFormsOpensNothing",
                      "",
                      "",
                      {S{S::Database, "Demo Sales"}, S{S::Category, "Activity Log"}},
                      {"ask", "drop", "category", "forms"},
                      "Demo Sales",
                      "Activity Log",
                      "",
                      "Demo Sales",
                      "Activity Log",
                      "Forms",
                      {}},
        SelectionCase{
            "OneCategoryWithOneFormOpensWithTheDatabase",
            "Field Service",
            kOnlyTechnician,
            {S{S::Database, "Field Service"}},
            {"ask", "drop", "db", "categories", "ask", "drop", "category", "forms", "ask", "open"},
            "Field Service",
            "Technician",
            "Technician",
            "Field Service",
            "Technician",
            "Technician",
            {"Technician"}},
        SelectionCase{"DatabaseWithoutCategoriesSaysSo",
                      "Demo Sales",
                      kNoCategories,
                      {S{S::Database, "Demo Sales"}},
                      {"ask", "drop", "db", "categories"},
                      "Demo Sales",
                      "",
                      "",
                      "Demo Sales",
                      "No Categories!",
                      "Forms",
                      {}},
        SelectionCase{"AnotherDatabaseClearsCategoryAndForm",
                      "",
                      "",
                      {S{S::Database, "Demo Sales"}, S{S::Category, "Account"},
                       S{S::Form, "Account"}, S{S::Database, "Field Service"}},
                      {"ask", "drop", "db", "categories"},
                      "Field Service",
                      "",
                      "",
                      "Field Service",
                      "Categories",
                      "Forms",
                      {}},
        SelectionCase{"SameDatabaseAgainOnlyListsItsCategories",
                      "",
                      "",
                      {S{S::Database, "Demo Sales"}, S{S::Category, "Account"},
                       S{S::Form, "Account"}, S{S::Database, "Demo Sales"}},
                      {"db", "categories"},
                      "Demo Sales",
                      "Account",
                      "Account",
                      "Demo Sales",
                      "Account",
                      "Account",
                      kAccountForms},
        SelectionCase{"AnotherCategoryClearsTheForm",
                      "",
                      "",
                      {S{S::Database, "Demo Sales"}, S{S::Category, "Account"},
                       S{S::Form, "Account"}, S{S::Category, "Contact"}},
                      {"ask", "drop", "category", "forms"},
                      "Demo Sales",
                      "Contact",
                      "",
                      "Demo Sales",
                      "Contact",
                      "Forms",
                      {"Contact", "Contact Quick Entry"}},
        SelectionCase{"SameFormAgainAsksAndOpens",
                      "",
                      "",
                      {S{S::Database, "Demo Sales"}, S{S::Category, "Account"},
                       S{S::Form, "Account"}, S{S::Form, "Account"}},
                      {"ask", "open"},
                      "Demo Sales",
                      "Account",
                      "Account",
                      "Demo Sales",
                      "Account",
                      "Account",
                      kAccountForms},
        SelectionCase{"RefusedQuestionChangesNothing",
                      "",
                      "",
                      {S{S::Database, "Demo Sales"}, S{S::Category, "Account"},
                       S{S::Form, "Account"}, S{S::Refuse, ""}, S{S::Database, "Field Service"}},
                      {"ask"},
                      "Demo Sales",
                      "Account",
                      "Account",
                      "Demo Sales",
                      "Account",
                      "Account",
                      kAccountForms},
        SelectionCase{"DatabaseThatDoesNotAnswerIsForgotten",
                      "",
                      "",
                      {S{S::Database, "Lost Base"}},
                      {"ask", "drop", "db", "error: The database Lost Base is not ready"},
                      "",
                      "",
                      "",
                      "Databases",
                      "Categories",
                      "Forms",
                      {}},
        SelectionCase{
            "PathOpensTheNamedForm",
            "",
            "",
            {S{S::Path, "Demo Sales", "Account", "Account Billing"}},
            {"ask", "drop", "db", "categories", "ask", "drop", "category", "forms", "ask", "open"},
            "Demo Sales",
            "Account",
            "Account Billing",
            "Demo Sales",
            "Account",
            "Account Billing",
            kAccountForms},
        SelectionCase{
            "PathOpensASingleFormOnce",
            "",
            "",
            {S{S::Path, "Field Service", "Technician", "Technician"}},
            {"ask", "drop", "db", "categories", "ask", "drop", "category", "forms", "ask", "open"},
            "Field Service",
            "Technician",
            "Technician",
            "Field Service",
            "Technician",
            "Technician",
            {"Technician"}},
        SelectionCase{"PathStopsAtADatabaseThatDoesNotAnswer",
                      "",
                      "",
                      {S{S::Path, "Lost Base", "Account", "Account"}},
                      {"ask", "drop", "db", "error: The database Lost Base is not ready"},
                      "",
                      "",
                      "",
                      "Databases",
                      "Categories",
                      "Forms",
                      {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vk::test
