#include "filters/view_filter.h"
#include "filters/view_filter_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace vk {
namespace {

struct Row {
  const char* name;
  std::function<void(ViewFilterInputs&)> setup;
  const char* expected;
};

ViewFilterInputs Base(int style) {
  ViewFilterInputs in;
  in.quote_style = style;
  return in;
}

void LastNameContainsSmith(ViewFilterInputs& in) {
  in.field = FilterEntry{"Last Name", 0};
  in.text = {0, "Contains", "Smith", "", true};
}

const FilterEntry kRelatesToCompany{"Relates To Company", -11};

class ComposeViewFilterTest : public ::testing::TestWithParam<std::pair<int, Row>> {};

TEST_P(ComposeViewFilterTest, GivesCommand) {
  auto [style, row] = GetParam();
  ViewFilterInputs in = Base(style);
  row.setup(in);
  auto out = ComposeViewFilter(in);
  ASSERT_TRUE(out.has_value());
  EXPECT_EQ(*out, row.expected);
}

// Reading the command back gives inputs that compose it again; with the
// field's real kind in place of the kind guessed from the comparison, too.
TEST_P(ComposeViewFilterTest, ReadsBack) {
  auto [style, row] = GetParam();
  ViewFilterInputs in = Base(style);
  row.setup(in);
  const std::string command = row.expected;
  const std::string line = "  cmd.Execute " + command + " ' filter";
  const ViewFilterReading r = ReadViewFilter(line);
  if (command.empty() || command == "(unknown)") {
    EXPECT_FALSE(r.inputs.has_value());
    return;
  }
  ASSERT_TRUE(r.inputs.has_value()) << r.problem;
  EXPECT_EQ(line.substr(r.begin, r.end - r.begin), command);
  EXPECT_EQ(ComposeViewFilter(*r.inputs), command);

  ViewFilterInputs real = *r.inputs;
  if (in.field->tag >= 0) real.field->tag = in.field->tag;
  if (in.filter_by.tag >= 0 && in.field->tag < 0) real.filter_by.tag = in.filter_by.tag;
  EXPECT_EQ(ComposeViewFilter(real), command);
}

std::pair<int, Row> S(int style, Row r) { return {style, std::move(r)}; }

INSTANTIATE_TEST_SUITE_P(
    Rows, ComposeViewFilterTest,
    ::testing::Values(
        S(0, {"TextDoubleQuotes", LastNameContainsSmith,
              R"("[ViewFilter(1,F,,""""Last Name"""",Contains,""""Smith"""",1)]")"}),
        S(1, {"TextSingleQuotes", LastNameContainsSmith,
              R"('[ViewFilter(1,F,,"Last Name",Contains,"Smith",1)]')"}),
        S(2, {"TextBare", LastNameContainsSmith,
              "[ViewFilter(1,F,,Last Name,Contains,Smith,1)]"}),
        S(1, {"NumberBetweenExcept",
              [](ViewFilterInputs& in) {
                in.filter_number = 2;
                in.except = true;
                in.field = FilterEntry{"Amount", 1};
                in.number = {2, "Is Between", "100", "500", false};
              },
              R"('[ViewFilter(2,F,Not,"Amount",Is Between,"100","500")]')"}),
        S(1, {"DateBlankIgnoresValue",
              [](ViewFilterInputs& in) {
                in.filter_number = 3;
                in.field = FilterEntry{"Due Date", 2};
                in.date = {3, "Is Blank", "1/1/2020", "", false};
              },
              R"('[ViewFilter(3,F,,"Due Date",Blank)]')"}),
        S(1, {"CheckboxNotChecked",
              [](ViewFilterInputs& in) {
                in.field = FilterEntry{"Active", 4};
                in.checkbox = 1;
              },
              R"('[ViewFilter(1,F,,"Active",Not Checked)]')"}),
        S(1, {"SelectionNotEqual",
              [](ViewFilterInputs& in) {
                in.field = FilterEntry{"Status", 15};
                in.selection_equals = false;
                in.selection = "Closed";
              },
              R"('[ViewFilter(1,F,,"Status",Not Equal To,"Closed")]')"}),
        S(1, {"NameDuplicatesMatchCase",
              [](ViewFilterInputs& in) {
                in.field = FilterEntry{"Name", 5};
                in.name = {3, "Has Duplicates", "x", "", true};
              },
              R"('[ViewFilter(1,F,,"Name",Has Duplicates,,1)]')"}),
        S(1, {"Shared",
              [](ViewFilterInputs& in) { in.field = FilterEntry{"(Shared vs. Local)", 17}; },
              "'[ViewFilter(1,F,,,Shared,,)]'"}),
        S(1, {"Local",
              [](ViewFilterInputs& in) {
                in.field = FilterEntry{"(Shared vs. Local)", 17};
                in.shared = 1;
              },
              "'[ViewFilter(1,F,,,Local,,)]'"}),
        S(1, {"AllItemsIgnoresExcept",
              [](ViewFilterInputs& in) {
                in.filter_number = 4;
                in.except = true;
                in.field = FilterEntry{"(All Items)", 16};
              },
              "'[ViewFilter(4,Clear)]'"}),
        S(0, {"AllItemsDoubleQuotes",
              [](ViewFilterInputs& in) { in.field = FilterEntry{"(All Items)", 16}; },
              "\"[ViewFilter(1,Clear)]\""}),
        S(1, {"ConnectionToItem",
              [](ViewFilterInputs& in) {
                in.field = kRelatesToCompany;
                in.filter_by = {"(Connection to item)", -20};
                in.item_name = "Acme Ltd";
              },
              R"('[ViewFilter(1,CTI,,"Relates To","Company","Acme Ltd")]')"}),
        S(1, {"ConnectionSplitByTagNotFirstBlank",
              [](ViewFilterInputs& in) {
                in.field = FilterEntry{"Relates To Big Company", -11};
                in.filter_by = {"(Connection to item)", -20};
                in.item_name = "Acme \"Ltd\"";
              },
              R"('[ViewFilter(1,CTI,,"Relates To","Big Company","Acme "Ltd"")]')"}),
        S(1, {"ConnectionToConnectionItem",
              [](ViewFilterInputs& in) {
                in.field = kRelatesToCompany;
                in.filter_by = {"Located In City", -11};
                in.item_name = "Boston";
              },
              R"('[ViewFilter(1,CTCTI,,"Relates To","Company","Located In","City","Boston")]')"}),
        S(1, {"ConnectionFieldExcept",
              [](ViewFilterInputs& in) {
                in.filter_number = 4;
                in.except = true;
                in.field = kRelatesToCompany;
                in.filter_by = {"Revenue", 10};
                in.number = {1, "Greater Than", "1000", "", false};
              },
              R"('[ViewFilter(4,CTCF,Not,"Relates To","Company","Revenue",Greater Than,"1000")]')"}),
        S(1, {"ConnectionShared",
              [](ViewFilterInputs& in) {
                in.field = kRelatesToCompany;
                in.filter_by = {"(Shared vs. Local)", 17};
              },
              R"('[ViewFilter(1,CTCF,,"Relates To","Company",,Shared,,)]')"}),
        S(1, {"ConnectionDuplicatesFlagInLastSlot",
              [](ViewFilterInputs& in) {
                in.field = kRelatesToCompany;
                in.filter_by = {"Contact", 5};
                in.name = {3, "Has Duplicates", "", "", true};
              },
              R"('[ViewFilter(1,CTCF,,"Relates To","Company","Contact",Has Duplicates,,1)]')"}),
        S(1, {"ConnectionAllItemsUnknown",
              [](ViewFilterInputs& in) {
                in.field = kRelatesToCompany;
                in.filter_by = {"(All Items)", 16};
              },
              "(unknown)"}),
        S(1, {"FieldWithoutPageUnknown",
              [](ViewFilterInputs& in) { in.field = FilterEntry{"Image", 18}; },
              "(unknown)"}),
        S(1, {"DamagedConnectionTagStaysInText",
              [](ViewFilterInputs& in) {
                in.field = FilterEntry{"Rel", -40};
                in.filter_by = {"(Connection to item)", -20};
              },
              R"('[ViewFilter(1,CTI,,"Rel","","")]')"}),
        S(3, {"BadQuoteStyleEmpty", LastNameContainsSmith, ""}),
        S(-1, {"NegativeQuoteStyleEmpty", LastNameContainsSmith, ""})),
    [](const auto& info) { return std::string(info.param.second.name); });

TEST(ComposeViewFilter, NoSelectedFieldLeavesTextAlone) {
  ViewFilterInputs in;
  in.quote_style = 1;
  EXPECT_FALSE(ComposeViewFilter(in).has_value());
}

}  // namespace
}  // namespace vk
