#include "settings/config_numbers.h"

#include <gtest/gtest.h>

namespace vk {
namespace {

struct NumberRow {
    const char* name;
    ConfigNumber field;
    const char* text;
    std::variant<std::int32_t, std::string> expected;
};

TEST(ReadConfigNumber, TakesNumbersInTheirRangeAndNamesTheRangeOtherwise) {
    const std::string memory = "The memory buffer must be a number from 1 to 9999 Kb.";
    const std::string tab = "The tab width must be a number from 1 to 32 characters.";
    const NumberRow rows[] = {
        {"plain number", ConfigNumber::MemoryBuffer, "128", 128},
        {"blanks around it", ConfigNumber::MemoryBuffer, "  64 ", 64},
        {"upper bound", ConfigNumber::MemoryBuffer, "9999", 9999},
        {"blank field", ConfigNumber::MemoryBuffer, "    ", memory},
        {"empty field", ConfigNumber::MemoryBuffer, "", memory},
        {"zero buffer takes no text", ConfigNumber::MemoryBuffer, "0", memory},
        {"past four digits", ConfigNumber::MemoryBuffer, "10000", memory},
        {"beyond 32 bits", ConfigNumber::MemoryBuffer, "99999999999", memory},
        {"letters after digits", ConfigNumber::TabWidth, "4x", tab},
        {"blank inside", ConfigNumber::TabWidth, "1 2", tab},
        {"no tab width", ConfigNumber::TabWidth, "0", tab},
        {"wide gutter", ConfigNumber::GutterWidth, "201",
         "The left gutter must be a number from 0 to 200 pixels."},
        {"no gutter", ConfigNumber::GutterWidth, "0", 0},
        {"negative offset", ConfigNumber::JumpOffset, "-1",
         "The jump offset must be a number from 0 to 100 lines."},
        {"offset", ConfigNumber::JumpOffset, "5", 5},
    };
    for (const NumberRow& row : rows)
        EXPECT_EQ(ReadConfigNumber(row.field, row.text), row.expected) << row.name;
}

}  // namespace
}  // namespace vk
