// The VBScript reference the setup installs, read as the editor reads it.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "help/syntax_list.h"
#include "help/text_lines.h"
#include "help/topic_syntax.h"
#include "support/test_support.h"

namespace vk {
namespace {

const std::string kReference = std::string(VK_SOURCE_DIR) + "/data/vbsdoc";

TEST(ShippedReference, EveryEntryHasATopicWithASyntaxLine) {
    const TSyntaxList index = TSyntaxList::FromFolder(kReference);
    ASSERT_GT(index.Count(), 0u);
    std::string faults;
    for (const HelpTopic& topic : index.Topics()) {
        if (!std::filesystem::is_regular_file(topic.path))
            faults += topic.text + ": no file " + topic.path + "\n";
        else if (GetSyntax(topic.path).empty())
            faults += topic.text + ": no syntax line in " + topic.path + "\n";
    }
    EXPECT_EQ(faults, "");
}

TEST(ShippedReference, EveryBuiltInFunctionHasAnEntry) {
    const TSyntaxList index = TSyntaxList::FromFolder(kReference);
    const std::string names = test::ReadFileBytes(kReference + "/builtin-functions.txt");
    std::string missing;
    int count = 0;
    for (const std::string_view name : TextFileLines(names)) {
        if (name.empty()) continue;
        ++count;
        // What the syntax line asks for with the caret on the name.
        if (!index.SyntaxLine(name)) missing += std::string(name) + "\n";
    }
    EXPECT_GT(count, 0);
    EXPECT_EQ(missing, "") << "built-in functions without an entry";
}

}  // namespace
}  // namespace vk
