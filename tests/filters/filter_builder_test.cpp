#include "filters/filter_builder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <string>
#include <vector>

#include "editor/ansi_text.h"
#include "platform/registry.h"
#include "settings/settings.h"
#include "support/commence_fixture.h"
#include "support/recording_message_service.h"

namespace vk::test {
namespace {

constexpr const char* kDemo = "Demo Sales";

// The builder over the demo databases, served by the real server that the
// builder's first query starts.
class FilterBuilderTest : public ::testing::Test {
protected:
    template <typename T>
    T* Find(const char* name) {
        T* child = builder.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    // Changes the demo database before any server has started.
    void ChangeDemo(const char* sql) {
        sqlite3* db = nullptr;
        const auto file = commence.DatabaseFolder(kDemo) / "commence.db";
        ASSERT_EQ(sqlite3_open(file.string().c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
        sqlite3_close(db);
    }

    void Open(const char* category, std::string_view line = {}) {
        builder.Prepare(kDemo, category, line);
    }

    static std::vector<std::string> Texts(const QListWidget& list) {
        std::vector<std::string> texts;
        for (int i = 0; i < list.count(); ++i) texts.push_back(ToAnsi(list.item(i)->text()));
        return texts;
    }
    static std::vector<std::string> Texts(const QComboBox& box) {
        std::vector<std::string> texts;
        for (int i = 0; i < box.count(); ++i) texts.push_back(ToAnsi(box.itemText(i)));
        return texts;
    }

    // Picks an entry as the user does.
    void PickField(const char* text) {
        auto* list = Find<QListWidget>("lbFields");
        const auto found = list->findItems(FromAnsi(text), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text;
        list->setCurrentItem(found.front());
    }
    void PickFilterBy(const char* text) {
        auto* box = Find<QComboBox>("cbFilterBy");
        const int index = box->findText(FromAnsi(text), Qt::MatchExactly);
        ASSERT_GE(index, 0) << text;
        box->setCurrentIndex(index);
    }
    std::string ReadOut() { return ToAnsi(Find<QLineEdit>("edViewFilter")->text()); }
    int Page() { return Find<QStackedWidget>("nbFieldTypes")->currentIndex(); }

    CommenceFixture commence;
    Registry registry{commence.RegistryDir()};
    TSettings settings{registry};
    RecordingMessageService messages;
    TfFilterBuilder builder{settings, messages, registry};
};

TEST_F(FilterBuilderTest, FieldEntryShowsItsPageAndComposes) {
    settings.quoteStyle = 1;
    Open("contact");  // the script's category, matched without regard to case
    EXPECT_EQ(builder.windowTitle(), QStringLiteral("Filter for Category: Contact"));
    auto* fields = Find<QListWidget>("lbFields");
    // Sorted without regard to case; "Do Not Call" is a check box (kind 4).
    EXPECT_EQ(Texts(*fields), (std::vector<std::string>{
                                  "(All Items)", "(Shared vs. Local)", "Birthday", "contactKey",
                                  "Do Not Call", "E-mail", "First Name", "Last Name", "Notes",
                                  "Phone", "Primary Contact Sales Opportunity",
                                  "Relates to Account", "Relates to Activity Log"}));
    EXPECT_EQ(fields->currentRow(), 0);
    EXPECT_EQ(Page(), 8);
    EXPECT_EQ(ReadOut(), "'[ViewFilter(1,Clear)]'");

    PickField("Last Name");
    EXPECT_EQ(Page(), 1);
    EXPECT_EQ(Find<QLabel>("lTextFieldName")->text(), QStringLiteral("Last Name"));
    auto* filterBy = Find<QComboBox>("cbFilterBy");
    EXPECT_FALSE(filterBy->isEnabled());
    EXPECT_EQ(Texts(*filterBy), std::vector<std::string>{"(Field value)"});
    Find<QLineEdit>("edTextMin")->setText(QStringLiteral("Sm\"ith"));
    Find<QCheckBox>("xbTextMatchCase")->click();
    EXPECT_EQ(ReadOut(), R"('[ViewFilter(1,F,,"Last Name",Contains,"Sm"ith",1)]')");

    // Another tab only changes the number; ticking except adds "Not".
    Find<QTabBar>("tcFilter")->setCurrentIndex(2);
    Find<QCheckBox>("xbExcept")->click();
    EXPECT_EQ(ReadOut(), R"('[ViewFilter(3,F,Not,"Last Name",Contains,"Sm"ith",1)]')");

    PickField("Do Not Call");
    EXPECT_EQ(Page(), 6);
    EXPECT_EQ(Find<QGroupBox>("rgCheckBox")->title(), QStringLiteral("Do Not Call"));
    EXPECT_EQ(ReadOut(), R"('[ViewFilter(3,F,Not,"Do Not Call",Checked)]')");

    // The read-out may be edited; Copy takes it as it stands.
    Find<QLineEdit>("edViewFilter")->setText(QStringLiteral("edited"));
    Find<QToolButton>("sbCopy")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("edited"));
    EXPECT_TRUE(messages.messages.empty());
}

// Regression: a mouse click makes a row current before it is selected, and
// the command was composed before the selection came, from the row before:
// Insert then put the previous entry's filter into the script.
TEST_F(FilterBuilderTest, MouseClickOnAnEntryComposesItsFilter) {
    settings.quoteStyle = 1;
    Open("Contact");
    builder.show();
    auto* fields = Find<QListWidget>("lbFields");
    const struct {
        const char* entry;
        int page;
        const char* readOut;
    } clicks[] = {
        {"Last Name", 1, R"('[ViewFilter(1,F,,"Last Name",Contains,"")]')"},
        {"Do Not Call", 6, R"('[ViewFilter(1,F,,"Do Not Call",Checked)]')"},
        {"Relates to Account", 7, R"('[ViewFilter(1,CTI,,"Relates to","Account","Acme Tools")]')"},
        {"(All Items)", 8, "'[ViewFilter(1,Clear)]'"},
    };
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.entry);
        const auto found = fields->findItems(QString::fromLatin1(click.entry), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        fields->scrollToItem(found.front());
        QTest::mouseClick(fields->viewport(), Qt::LeftButton, {},
                          fields->visualItemRect(found.front()).center());
        EXPECT_EQ(fields->currentItem(), found.front());
        EXPECT_EQ(Page(), click.page);
        EXPECT_EQ(ReadOut(), click.readOut);
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(FilterBuilderTest, ConnectionEntriesLoadTheConnectedCategory) {
    Open("Contact");
    PickField("Relates to Account");
    auto* filterBy = Find<QComboBox>("cbFilterBy");
    EXPECT_TRUE(filterBy->isEnabled());
    // Account's fields and connections, both ways: Contract File, Logo and
    // Forecast Cell have kinds the builder does not list.
    EXPECT_EQ(Texts(*filterBy), (std::vector<std::string>{"(Connection to item)",
                                                          "(Shared vs. Local)",
                                                          "Account No",
                                                          "accountKey",
                                                          "Active",
                                                          "Address",
                                                          "Annual Revenue",
                                                          "Billing E-mail",
                                                          "Date Opened",
                                                          "Days Open",
                                                          "For Account Sales Opportunity",
                                                          "Industries",
                                                          "Legacy Code",
                                                          "Main Phone",
                                                          "Managed by Employee",
                                                          "Next Call Time",
                                                          "Notes",
                                                          "Region",
                                                          "Relates to Contact",
                                                          "Web Site"}));
    EXPECT_EQ(Page(), 7);
    EXPECT_EQ(Find<QLabel>("lConnectionCatName")->text(), QStringLiteral("Account"));
    auto* items = Find<QListWidget>("lbItemNames");
    EXPECT_EQ(Texts(*items),
              (std::vector<std::string>{"Acme Tools", "Brightwater Caf\xE9", "Northwind Traders"}));
    EXPECT_EQ(ToAnsi(Find<QLineEdit>("edItemName")->text()), "Acme Tools");
    EXPECT_EQ(ReadOut(),
              R"("[ViewFilter(1,CTI,,""""Relates to"""",""""Account"""",""""Acme Tools"""")]")");

    items->setCurrentRow(1);
    EXPECT_EQ(ReadOut(),
              "\"[ViewFilter(1,CTI,,\"\"\"\"Relates to\"\"\"\",\"\"\"\"Account\"\"\"\","
              "\"\"\"\"Brightwater Caf\xE9\"\"\"\")]\"");

    // A connection of the connected category lists that second category's items.
    PickFilterBy("Managed by Employee");
    EXPECT_EQ(Page(), 7);
    EXPECT_EQ(Texts(*items), (std::vector<std::string>{"Dana Whitfield", "Eli Novak"}));
    EXPECT_EQ(
        ReadOut(),
        R"("[ViewFilter(1,CTCTI,,""""Relates to"""",""""Account"""",""""Managed by"""",""""Employee"""",""""Dana Whitfield"""")]")");

    // A field of the connected category shows its own page.
    PickFilterBy("Annual Revenue");
    EXPECT_EQ(Page(), 2);
    EXPECT_EQ(Find<QLabel>("lNumberFieldName")->text(), QStringLiteral("Annual Revenue"));
    Find<QLineEdit>("edNumberMin")->setText(QStringLiteral("1000"));
    EXPECT_EQ(
        ReadOut(),
        R"("[ViewFilter(1,CTCF,,""""Relates to"""",""""Account"""",""""Annual Revenue"""",Equal To,""""1000"""")]")");

    // Back on a field, the filter-by box is disabled with its single entry.
    PickField("Phone");
    EXPECT_FALSE(filterBy->isEnabled());
    EXPECT_EQ(Texts(*filterBy), std::vector<std::string>{"(Field value)"});
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(FilterBuilderTest, CategoryWithoutItemsShowsNone) {
    ChangeDemo("DELETE FROM items WHERE category = 'Employee';");
    settings.quoteStyle = 1;
    Open("Account");
    Find<QLineEdit>("edItemName")->setText(QStringLiteral("left over"));
    PickField("Managed by Employee");
    auto* items = Find<QListWidget>("lbItemNames");
    EXPECT_EQ(Texts(*items), std::vector<std::string>{"(none)"});
    EXPECT_FALSE(items->isEnabled());
    EXPECT_EQ(Find<QLineEdit>("edItemName")->text(), QString());
    EXPECT_EQ(ReadOut(), R"('[ViewFilter(1,CTI,,"Managed by","Employee","")]')");
}

// When a field of the connected category sorts before "(Connection to item)",
// the builder shows that field's page, which the selected entry and the
// command are about, not the item page.
TEST_F(FilterBuilderTest, ConnectionShowsThePageOfTheFirstFilterByEntry) {
    ChangeDemo(
        "INSERT INTO fields(category, name, type, definition) "
        "VALUES ('Account', '#Code', 0, '00000000');");
    settings.quoteStyle = 1;
    Open("Contact");
    PickField("Relates to Account");
    EXPECT_EQ(Find<QComboBox>("cbFilterBy")->currentText(), QStringLiteral("#Code"));
    EXPECT_EQ(Page(), 1);
    EXPECT_EQ(Find<QLabel>("lTextFieldName")->text(), QStringLiteral("#Code"));
    EXPECT_EQ(ReadOut(), R"('[ViewFilter(1,CTCF,,"Relates to","Account","#Code",Contains,"")]')");
}

struct LayoutRow {
    const char* name;
    const char* field;
    const char* prefix;  // of the page's control names
    const char* compare;
    const char* minCaption;
    bool minEnabled;
    bool maxShown;
    int matchCase;  // -1 none on the page, 0 hidden, 1 shown disabled, 2 shown enabled
    int options;    // the same for "O&ptions..."
};

// Each comparison lays out its page; the rows run in order on one builder, so
// leaving "Is Between" is covered by the row after it.
TEST_F(FilterBuilderTest, ComparisonLayouts) {
    const LayoutRow rows[] = {
        {"NameContains", "accountKey", "Name", "Contains", "Field &Value:", true, false, 2, 2},
        {"NameDuplicates", "accountKey", "Name", "Has Duplicates", "Field &Value:", false, false, 2,
         1},
        {"NameBetween", "accountKey", "Name", "Is Between", "M&inimum Value (inclusive):", true,
         true, 0, 0},
        {"NameBlank", "accountKey", "Name", "Is Blank", "Field &Value:", false, false, 1, 1},
        {"TextBetween", "Address", "Text", "Is Between", "M&inimum Value (inclusive):", true, true,
         0, 0},
        {"TextEqual", "Address", "Text", "Equal To", "Field &Value:", true, false, 2, 2},
        {"NumberBetween", "Annual Revenue", "Number", "Is Between",
         "M&inimum Value (inclusive):", true, true, -1, -1},
        {"NumberLess", "Annual Revenue", "Number", "Less Than", "Field &Value:", true, false, -1,
         -1},
        {"DateBlank", "Date Opened", "Date", "Is Blank", "Field &Value:", false, false, -1, -1},
        {"DateOn", "Date Opened", "Date", "On", "Field &Value:", true, false, -1, -1},
        {"TimeBetween", "Next Call Time", "Time", "Is Between", "M&inimum Value (inclusive):", true,
         true, -1, -1},
        {"TimeBlank", "Next Call Time", "Time", "Is Blank", "Field &Value:", false, false, -1, -1},
    };
    Open("Account");
    const auto name = [](const char* a, const char* prefix, const char* b) {
        return std::string(a) + prefix + b;
    };
    const auto state = [](const QWidget* w) {
        return w == nullptr ? -1 : w->isHidden() ? 0 : w->isEnabled() ? 2 : 1;
    };
    for (const LayoutRow& row : rows) {
        SCOPED_TRACE(row.name);
        PickField(row.field);
        auto* compare = Find<QComboBox>(name("cb", row.prefix, "Compare").c_str());
        compare->setCurrentIndex(compare->findText(QString::fromLatin1(row.compare)));
        auto* minLabel = Find<QLabel>(name("l", row.prefix, "FieldValueMin").c_str());
        EXPECT_EQ(minLabel->text(), QString::fromLatin1(row.minCaption));
        EXPECT_EQ(Find<QLineEdit>(name("ed", row.prefix, "Min").c_str())->isEnabled(),
                  row.minEnabled);
        EXPECT_EQ(!Find<QLineEdit>(name("ed", row.prefix, "Max").c_str())->isHidden(),
                  row.maxShown);
        EXPECT_EQ(!Find<QLabel>(name("l", row.prefix, "FieldValueMax").c_str())->isHidden(),
                  row.maxShown);
        const std::string mc = name("xb", row.prefix, "MatchCase");
        const std::string opt = name("b", row.prefix, "Options");
        EXPECT_EQ(state(builder.findChild<QWidget*>(QString::fromStdString(mc))), row.matchCase);
        EXPECT_EQ(state(builder.findChild<QWidget*>(QString::fromStdString(opt))), row.options);
    }

    // A page that comes back starts again on its first comparison.
    PickField("Address");
    Find<QComboBox>("cbTextCompare")->setCurrentIndex(3);
    PickField("Annual Revenue");
    PickField("Address");
    EXPECT_EQ(Find<QComboBox>("cbTextCompare")->currentIndex(), 0);
    EXPECT_TRUE(Find<QLineEdit>("edTextMax")->isHidden());
}

TEST_F(FilterBuilderTest, OpensOnACommandOfTheScript) {
    const std::string line =
        R"(  v = "[ViewFilter(2,CTCF,Not,""""Relates to"""",""""Account"""",""""Address"""",Is Between,""""A"""",""""M"""")]" ' x)";
    Open("Contact", line);
    EXPECT_EQ(Find<QTabBar>("tcFilter")->currentIndex(), 1);
    EXPECT_TRUE(Find<QCheckBox>("xbExcept")->isChecked());
    EXPECT_EQ(Find<QListWidget>("lbFields")->currentItem()->text(),
              QStringLiteral("Relates to Account"));
    EXPECT_EQ(Find<QComboBox>("cbFilterBy")->currentText(), QStringLiteral("Address"));
    EXPECT_EQ(Page(), 1);
    EXPECT_EQ(Find<QComboBox>("cbTextCompare")->currentText(), QStringLiteral("Is Between"));
    EXPECT_EQ(Find<QLineEdit>("edTextMin")->text(), QStringLiteral("A"));
    EXPECT_EQ(Find<QLineEdit>("edTextMax")->text(), QStringLiteral("M"));
    EXPECT_EQ(ReadOut(), line.substr(6, line.size() - 6 - 4));
    ASSERT_TRUE(builder.ReadBackSpan().has_value());
    EXPECT_EQ(builder.ReadBackSpan()->first, 6u);
    EXPECT_EQ(builder.ReadBackSpan()->second, line.size() - 4);
}

struct UnreadRow {
    const char* name;
    const char* line;
    const char* says;
};

// What cannot be read back opens as usual and says why in the read-out.
TEST_F(FilterBuilderTest, SaysWhatItCannotReadBack) {
    const UnreadRow rows[] = {
        {"UnknownField", R"('[ViewFilter(1,F,,"Nope",Blank)]')",
         "\"Nope\" is not a field or connection of Account"},
        {"KindWithoutTheComparison", R"('[ViewFilter(1,F,,"Annual Revenue",Contains,"1")]')",
         "does not fit the kind of \"Annual Revenue\""},
        {"UnknownComparison", R"('[ViewFilter(1,F,,"Address",Near,"1")]')",
         "unknown comparison \"Near\""},
    };
    for (const UnreadRow& row : rows) {
        SCOPED_TRACE(row.name);
        Open("Account", row.line);
        auto* readOut = Find<QLineEdit>("edViewFilter");
        EXPECT_EQ(readOut->text(), QString());
        EXPECT_TRUE(readOut->placeholderText().contains(QString::fromLatin1(row.says)))
            << readOut->placeholderText().toStdString();
        EXPECT_FALSE(builder.ReadBackSpan().has_value());
    }
}

TEST_F(FilterBuilderTest, LinkCategoryOffLeavesTheCategoryUnchosen) {
    settings.linkCategory = false;
    Open("Contact");
    auto* categories = Find<QComboBox>("cbSourceCategory");
    EXPECT_EQ(Texts(*categories),
              (std::vector<std::string>{"Account", "Contact", "Sales Opportunity", "Employee",
                                        "Activity Log"}));
    EXPECT_EQ(categories->currentIndex(), -1);
    EXPECT_EQ(Find<QListWidget>("lbFields")->count(), 0);
    categories->setCurrentIndex(3);
    EXPECT_EQ(builder.windowTitle(), QStringLiteral("Filter for Category: Employee"));
    EXPECT_EQ(Texts(*Find<QListWidget>("lbFields")).back(), "Reports to Employee");
}

}  // namespace
}  // namespace vk::test
