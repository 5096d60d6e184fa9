// The start-up options that name a database, category and form to open.
#include "app/start_options.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

namespace vk {
namespace {

TEST(StartOptionsTest, ReadsTheNamesAsWindows1252) {
    const StartOptions options =
        ParseStartOptions({"vellumkit", "--database", QString::fromUtf8("Café"), "--category=R&D",
                           "--form", QString::fromUtf8("Quote “Express”")});
    EXPECT_EQ(options.database, "Caf\xE9");
    EXPECT_EQ(options.category, "R&D");
    EXPECT_EQ(options.form,
              "Quote \x93"
              "Express\x94");

    const StartOptions none = ParseStartOptions({"vellumkit"});
    EXPECT_TRUE(none.database.empty() && none.category.empty() && none.form.empty());
}

TEST(StartOptionsDeathTest, RefusesANameWithoutItsParent) {
    EXPECT_EXIT((void)ParseStartOptions({"vellumkit", "--category", "Account"}),
                ::testing::ExitedWithCode(1), "--category needs --database");
    EXPECT_EXIT((void)ParseStartOptions({"vellumkit", "--database", "Demo Sales", "--form", "x"}),
                ::testing::ExitedWithCode(1), "--form needs --category");
    EXPECT_EXIT((void)ParseStartOptions({"vellumkit", "--databse", "Demo Sales"}),
                ::testing::ExitedWithCode(1), "Unknown option 'databse'");
}

// The program answers --help without a display and lists every option.
TEST(StartOptionsTest, HelpListsTheOptions) {
    const std::string command =
        std::string("env -u DISPLAY -u WAYLAND_DISPLAY \"") + VK_BIN_DIR + "/vellumkit\" --help";
    FILE* program = popen(command.c_str(), "r");
    ASSERT_NE(program, nullptr);
    std::string output;
    std::array<char, 512> buffer{};
    while (fgets(buffer.data(), static_cast<int>(buffer.size()), program)) output += buffer.data();
    EXPECT_EQ(pclose(program), 0);
    for (const char* option : {"--database <name>", "--category <name>", "--form <name>", "--help"})
        EXPECT_NE(output.find(option), std::string::npos) << option << " in:\n" << output;
}

}  // namespace
}  // namespace vk
