#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "check_support.h"

namespace vk::test {
namespace {

// The examples of the VBScript reference the setup installs: hundreds of
// small real scripts, each of which the engine compiles. The checker must
// not cry wolf on any of them. Some are fragments from inside a procedure
// (an Exit Sub at the top); those are checked inside one.

std::string Unescape(std::string text) {
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, character] : entities)
        for (std::size_t at = text.find(entity); at != std::string::npos;
             at = text.find(entity, at + 1))
            text.replace(at, std::string_view(entity).size(), character);
    return text;
}

// The text of each <PRE> block after an "Example" heading, tags dropped.
std::vector<std::string> Examples(const std::string& html) {
    std::vector<std::string> examples;
    for (std::size_t at = html.find("<H5>Example</H5>"); at != std::string::npos;
         at = html.find("<H5>Example</H5>", at + 1)) {
        const std::size_t open = html.find("<PRE>", at);
        const std::size_t close = html.find("</PRE>", open);
        if (open == std::string::npos || close == std::string::npos) break;
        std::string code;
        bool inTag = false;
        for (const char c : html.substr(open + 5, close - open - 5)) {
            if (c == '<') inTag = true;
            if (!inTag) code += c;
            if (c == '>') inTag = false;
        }
        examples.push_back(Unescape(code));
    }
    return examples;
}

TEST(ReferenceExamplesTest, EveryExampleCompiles) {
    const std::filesystem::path folder = std::filesystem::path(VK_SOURCE_DIR) / "data" / "vbsdoc";
    std::size_t examples = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".htm") continue;
        std::ifstream file(entry.path(), std::ios::binary);
        std::stringstream page;
        page << file.rdbuf();
        for (const std::string& code : Examples(page.str())) {
            ++examples;
            const language::ScriptCheck check = language::CheckScript(code);
            const bool fragment = std::any_of(check.diagnostics.begin(), check.diagnostics.end(),
                                              [](const language::Diagnostic& d) {
                                                  return d.message == "Invalid 'exit' statement";
                                              });
            const std::vector<std::string> errors =
                fragment ? Errors("Sub Example()\r\n" + code + "\r\nEnd Sub\r\n") : Errors(code);
            EXPECT_EQ(errors, std::vector<std::string>{})
                << entry.path().filename().string() << ":\n"
                << code;
        }
    }
    EXPECT_GT(examples, 300u);
}

}  // namespace
}  // namespace vk::test
