#include <gtest/gtest.h>

#include <algorithm>

#include "commence/database_menu.h"
#include "commence/directory_fixture.h"
#include "support/test_support.h"

namespace vk {
namespace {

using test::DirectoryTest;
using test::ScopedEnv;

TEST_F(DirectoryTest, MenuSortsBothHivesCaseInsensitivelyInColumnsOfTwenty) {
    // 21 names: "db00" ... "db18" in the user's hive, "DB19" and "Db05" (a
    // duplicate apart from case) in the local machine's.
    for (int i = 0; i < 19; ++i) {
        const std::string name = (i < 10 ? "db0" : "db") + std::to_string(i);
        Register(Hive::CurrentUser, "G" + std::to_string(i), "k", name);
    }
    Register(Hive::LocalMachine, "M", "a", "DB19");
    Register(Hive::LocalMachine, "M", "b", "db05");
    const auto upperBytes = [](std::string_view a, std::string_view b) {
        std::string ua(a), ub(b);
        for (char& c : ua) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (char& c : ub) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return ua < ub;
    };

    const std::vector<DatabaseMenuItem> menu = BuildDatabaseMenu(registry_, true, upperBytes);
    ASSERT_EQ(menu.size(), 21u);
    std::vector<std::string> names;
    for (const auto& item : menu) {
        names.push_back(item.name);
        EXPECT_FALSE(item.checked) << item.name;  // "No DDE Check" asks nobody
    }
    EXPECT_EQ(names[5], "db05");
    EXPECT_EQ(names[6], "db05");  // listed twice
    EXPECT_EQ(names[20], "DB19");
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), upperBytes));
    EXPECT_TRUE(menu[0].startsColumn);
    EXPECT_TRUE(menu[20].startsColumn);
    EXPECT_EQ(std::count_if(menu.begin(), menu.end(), [](auto& i) { return i.startsColumn; }), 2);
}

TEST(LocaleNameOrderTest, IgnoresCaseAndFallsBackToByteOrder) {
    ScopedEnv locale("LC_ALL", "C");
    const NameOrder order = LocaleNameOrder();
    EXPECT_TRUE(order("alpha", "Beta"));
    EXPECT_FALSE(order("Beta", "alpha"));
    EXPECT_FALSE(order("Demo", "demo"));
    EXPECT_FALSE(order("demo", "Demo"));
    EXPECT_TRUE(order("caf\xE9", "CAF\xC9X"));  // Windows-1252 letters fold too

    ScopedEnv broken("LC_ALL", "xx_NOWHERE.UTF-8");
    const NameOrder fallback = LocaleNameOrder();
    EXPECT_TRUE(fallback("alpha", "Beta"));
}

}  // namespace
}  // namespace vk
