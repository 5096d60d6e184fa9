#include "platform/machine.h"

#include <gtest/gtest.h>

#include <clocale>

#include "support/test_support.h"

namespace vk {
namespace {

// 2024-03-05 00:00:00 UTC.
constexpr std::time_t kMidnightUtc = 1709596800;

TEST(Machine, DateAndTimeLeaveOutTheTimeOnlyAtLocalMidnight) {
    ASSERT_NE(std::setlocale(LC_TIME, "C"), nullptr);
    struct Row {
        const char* label;
        const char* zone;
        std::time_t when;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {"midnight", "UTC0", kMidnightUtc, "03/05/24"},
        {"one second past", "UTC0", kMidnightUtc + 1, "03/05/24 00:00:01"},
        {"afternoon", "UTC0", kMidnightUtc + 13 * 3600 + 45 * 60, "03/05/24 13:45:00"},
        {"local midnight, not UTC", "EST5", kMidnightUtc + 5 * 3600, "03/05/24"},
        {"UTC midnight is local evening", "EST5", kMidnightUtc, "03/04/24 19:00:00"},
    };
    for (const Row& row : rows) {
        test::ScopedEnv zone("TZ", row.zone);
        EXPECT_EQ(Machine::FormatShortDateLongTime(row.when), row.expected) << row.label;
    }
}

TEST(Machine, NamesTheHostAndTheUser) {
    const std::string computer = Machine::ComputerName();
    EXPECT_FALSE(computer.empty());
    EXPECT_EQ(computer.find('.'), std::string::npos);
    EXPECT_FALSE(Machine::UserName().empty());
    EXPECT_EQ(Machine::ProgramFile().filename(), "platform_machine_test");
}

}  // namespace
}  // namespace vk
