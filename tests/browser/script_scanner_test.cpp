#include "browser/script_scanner.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "browser/scan_dump.h"
#include "support/test_support.h"

namespace vk {
namespace {

using K = ScanKind;
using S = ScanState;

struct Row {
    const char* name;
    std::string text;
    std::vector<ScanEntry> entries;
    std::vector<std::string> warnings = {};
    std::vector<std::string> messages = {};
};

}  // namespace

void PrintTo(const ScanEntry& e, std::ostream* out) {
    *out << KindName(e.kind) << ' ' << e.name << " @" << e.offset << ' ' << StateName(e.state);
}

namespace {

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

class ParseScriptTest : public ::testing::TestWithParam<Row> {};

TEST_P(ParseScriptTest, FindsDeclarationsAndTheirState) {
    const Row& row = GetParam();
    const ScanReport report = ParseScript(row.text);
    EXPECT_EQ(report.entries, row.entries);
    EXPECT_EQ(report.warnings, row.warnings);
    EXPECT_EQ(report.messages, row.messages);
}

// Offsets are those of the name's first character, a line end counting two.
const Row kRows[] = {
    {"event_with_code",
     "Sub Form_OnSave()\r\n  x = 1\r\nEnd Sub\r\n",
     {{K::Event, "OnSave", 9, S::Code}}},
    {"private_function_without_body",
     "Private Function Calc(a)\r\nEnd Function\r\n",
     {{K::Function, "Calc", 17, S::NoCode}}},
    {"public_sub_blank_body_indented_end",
     "Public Sub A\r\n \t \r\n\tEnd Sub\r\n",
     {{K::Sub, "A", 11, S::NoCode}}},
    {"comment_counts_as_code", "Sub A()\r\n' note\r\nEnd Sub\r\n", {{K::Sub, "A", 4, S::Code}}},
    {"names_keep_their_case", "SUB form_onLoad\r\nEND SUB", {{K::Event, "onLoad", 9, S::NoCode}}},
    {"function_named_form_is_no_event",
     "Function Form_Calc()\r\nEnd Function",
     {{K::Function, "Form_Calc", 9, S::NoCode}}},
    {"two_blanks_make_a_plain_sub", "Sub  Form_X()\r\nEnd Sub", {{K::Sub, "Form_X", 5, S::NoCode}}},
    {"commented_out_declaration",
     "' sub Old()\r\nSub New()\r\nEnd Sub\r\n",
     {{K::Sub, "New", 17, S::NoCode}}},
    {"declaration_inside_a_string", "x = \"sub a\"\r\n", {}},
    {"colon_inside_a_comment", "' note: sub Old()\r\n", {}},
    {"colon_inside_a_string", "s = \"a: sub b\"\r\n", {}},
    {"keyword_inside_longer_words", "Call mysub x\r\nx.sub y\r\nExit Sub \r\nEnd Sub \r\n", {}},
    {"public_default_not_recognised", "Public Default Function X()\r\nEnd Function\r\n", {}},
    {"declaration_after_a_colon", "x = 1: Sub A()\r\nEnd Sub", {{K::Sub, "A", 11, S::NoCode}}},
    {"commented_end_sub_does_not_terminate",
     "Sub A()\r\n ' end sub\r\n",
     {{K::Sub, "A", 4, S::NoEnd}},
     {},
     {"A not terminated @ line 1"}},
    {"end_sub_inside_a_word_does_not_terminate",
     "Sub A()\r\n  Call Backend sub\r\n",
     {{K::Sub, "A", 4, S::NoEnd}},
     {},
     {"A not terminated @ line 1"}},
    {"real_end_after_commented_end",
     "Sub A()\r\n ' end sub\r\nEnd Sub\r\n",
     {{K::Sub, "A", 4, S::Code}}},
    {"function_needs_end_function",
     "Function F()\r\nEnd Sub\r\n",
     {{K::Function, "F", 9, S::NoEnd}},
     {},
     {"F not terminated @ line 1"}},
    {"missing_end_before_next_sub",
     "Sub A()\r\n x = 1\r\n\r\nSub B()\r\nEnd Sub\r\n",
     {{K::Sub, "A", 4, S::NoEnd}, {K::Sub, "B", 23, S::NoCode}},
     {},
     {"A not terminated @ line 1"}},
    {"incomplete_declaration_then_next",
     "x = 1\r\nSub \r\nSub B()\r\nEnd Sub\r\n",
     {{K::Sub, "B", 17, S::NoCode}},
     {"Incomplete declaration on line 2"}},
    {"incomplete_declaration_before_bracket",
     "Function (a)\r\n",
     {},
     {"Incomplete declaration on line 1"}},
    {"sub_typed_at_end_of_text", "x = 1\r\nSub ", {}},
    {"sub_and_blanks_at_end_of_text", "x = 1\r\nSub  \t", {}},
    {"colon_block_holds_code", "Sub A: x = 1: End Sub\r\n", {{K::Sub, "A", 4, S::Code}}},
    {"colon_block_start_is_no_code", "Sub A: End Sub\r\n", {{K::Sub, "A", 4, S::NoCode}}},
    {"last_line_without_line_end",
     "x\r\nSub Last",
     {{K::Sub, "Last", 7, S::NoEnd}},
     {},
     {"Last not terminated @ line 2"}},
    {"bracket_on_last_line",
     "x\r\n\r\nSub Last(a)",
     {{K::Sub, "Last", 9, S::NoEnd}},
     {},
     {"Last not terminated @ line 3"}},
    {"lines_ending_in_lf_only", "Sub A()\nx = 1\nEnd Sub\n", {{K::Sub, "A", 4, S::Code}}},
    {"empty_text", "", {}},
};

INSTANTIATE_TEST_SUITE_P(Scripts, ParseScriptTest, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

// Records what a view would be told.
class Recorder : public ScanObserver {
public:
    std::vector<std::string> events;
    std::string dump;
    bool throwOnEntry = false;

    void Status(std::string_view text, int level) override {
        events.push_back("status " + std::to_string(level) + " " + std::string(text));
    }
    void Reset() override { events.push_back("reset"); }
    void EntryFound(const ScanEntry& entry) override {
        if (throwOnEntry) throw std::runtime_error("tree is gone");
        events.push_back("found " + entry.name + " " + std::string(StateName(entry.state)));
    }
    void EntryFinished(std::size_t index, ScanState state) override {
        events.push_back("finished " + std::to_string(index) + " " + std::string(StateName(state)));
    }
    void Warning(std::string_view text) override {
        events.push_back("warning " + std::string(text));
    }
    void Failed(const std::string& text) override { dump = text; }
};

TEST(ParseScriptProgressTest, TellsTheViewInScanOrder) {
    Recorder recorder;
    (void)ParseScript("Sub A()\r\nSub \r\nSub B()\r\nEnd Sub\r\n", recorder);
    const std::vector<std::string> expected = {
        "status 0 Initializing CodeBrowser",
        "reset",
        "status 1 Scanning script",
        "found A NoCode",
        "status 1 A not terminated @ line 1",
        "finished 0 NoEnd",
        "warning Incomplete declaration on line 2",
        "found B NoCode",
        "finished 1 NoCode",
        "status 1 ",
    };
    EXPECT_EQ(recorder.events, expected);
    EXPECT_TRUE(recorder.dump.empty());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(text.substr(start, at - start));
    return lines;
}

// The error goes on to the caller after the dump describes where the scan
// stood: the text, the message and every position.
TEST(ParseScriptDumpTest, UnexpectedErrorIsDumpedAndRaisedAgain) {
    Recorder recorder;
    recorder.throwOnEntry = true;
    const std::string text = "Sub Form_OnSave(a)\r\nEnd Sub";
    EXPECT_THROW((void)ParseScript(text, recorder), std::runtime_error);

    const std::vector<std::string> lines = Lines(recorder.dump);
    ASSERT_EQ(lines.size(), 22u) << recorder.dump;
    EXPECT_NE(lines[0].find(" | e-mail this debug output to "), std::string::npos);
    const std::string dashes(78, '-');
    EXPECT_EQ(lines[1], dashes);
    EXPECT_EQ(lines[2], "Sub Form_OnSave(a)");
    EXPECT_EQ(lines[3], "End Sub");
    EXPECT_EQ(lines[4], dashes);
    EXPECT_EQ(lines[5], "tree is gone");
    EXPECT_EQ(lines[6], dashes);
    EXPECT_TRUE(lines[7].starts_with("Current scan position: ")) << lines[7];
    EXPECT_TRUE(lines[7].ends_with(", relative 0)")) << lines[7];
    EXPECT_EQ(lines[8], "sub form_onsave(a)");
    EXPECT_EQ(lines[9], "end sub");
    EXPECT_EQ(lines[10], dashes);
    EXPECT_TRUE(lines[11].starts_with("ptrNextIdentifier ")) << lines[11];
    EXPECT_TRUE(lines[11].ends_with(", relative 0)")) << lines[11];
    EXPECT_EQ(lines[12], "Identifier Type: Event");
    // The address and its decimal form name the same character.
    unsigned long long hex = 0, decimal = 0, relative = 0;
    ASSERT_EQ(std::sscanf(lines[14].c_str(), "ptrNextBracket\t%llx (decimal %llu, relative %llu)",
                          &hex, &decimal, &relative),
              3)
        << lines[14];
    EXPECT_EQ(hex, decimal);
    EXPECT_EQ(relative, 15u);
    EXPECT_EQ(lines[13], "ptrNextColon\t0 (decimal 0, relative 0)");
    EXPECT_TRUE(lines[15].starts_with("ptrNextCRLF\t") && lines[15].ends_with("relative 18)"));
    EXPECT_TRUE(lines[16].starts_with("ptrNextDelimiter\t") && lines[16].ends_with("relative 15)"));
    EXPECT_TRUE(lines[17].starts_with("ptrBlockBegin\t") && lines[17].ends_with("relative 18)"));
    EXPECT_EQ(lines[18], "ptrBlockEnd\t0 (decimal 0, relative 0)");
    EXPECT_EQ(lines[19], "Identifier length 6");
    EXPECT_EQ(lines[20], "Identifier offset 9");
    EXPECT_EQ(lines[21], "Identifier name OnSave");
}

TEST(ScanDumpFileTest, GoesToTheStateFolderWhenTheProgramFolderIsNotWritable) {
    test::TempDir dir;
    const auto programFolder = dir.path() / "bin";
    std::filesystem::create_directories(programFolder);
    const auto stateFolder = dir.path() / "state" / "vellumkit";

    const auto inProgram = WriteScanDump("first", programFolder, stateFolder);
    ASSERT_TRUE(inProgram);
    EXPECT_EQ(inProgram->path, programFolder / "exception-ParseScript.txt");
    EXPECT_FALSE(inProgram->inStateFolder);
    EXPECT_EQ(test::ReadFileBytes(inProgram->path), "first");
    EXPECT_TRUE(WriteScanDump("second", programFolder, stateFolder));
    EXPECT_EQ(test::ReadFileBytes(inProgram->path), "second");  // overwritten

    // A "folder" that is a file cannot be written to, whoever runs the test.
    const auto notAFolder = dir.path() / "file";
    test::WriteFileBytes(notAFolder, "x");
    const auto inState = WriteScanDump("third", notAFolder, stateFolder);
    ASSERT_TRUE(inState);
    EXPECT_TRUE(inState->inStateFolder);
    EXPECT_EQ(inState->path, stateFolder / "exception-ParseScript.txt");
    EXPECT_EQ(test::ReadFileBytes(inState->path), "third");

    EXPECT_FALSE(WriteScanDump("lost", notAFolder, notAFolder / "state"));
}

TEST(ScanDumpFileTest, StateFolderFollowsXdgThenHome) {
    {
        test::ScopedEnv state("XDG_STATE_HOME", "/x/state");
        EXPECT_EQ(UserStateFolder(), std::filesystem::path("/x/state/vellumkit"));
    }
    test::ScopedEnv state("XDG_STATE_HOME", std::nullopt);
    test::ScopedEnv home("HOME", "/home/ann");
    EXPECT_EQ(UserStateFolder(), std::filesystem::path("/home/ann/.local/state/vellumkit"));
}

}  // namespace
}  // namespace vk
