#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "help/caret_word.h"
#include "help/keyword_page.h"
#include "help/syntax_list.h"
#include "help/topic_syntax.h"
#include "platform/registry.h"
#include "support/test_support.h"

namespace vk {
namespace {

using test::TempDir;

const std::string kDir = "/doc";

std::string In(std::string_view file) { return (std::filesystem::path(kDir) / file).string(); }

// --- Keyword page --------------------------------------------------------

struct PageCase {
    const char* name;
    const char* line;
    std::vector<HelpTopic> expected;
};

class KeywordPageLine : public ::testing::TestWithParam<PageCase> {};

TEST_P(KeywordPageLine, GivesEntryOrNothing) {
    const PageCase& c = GetParam();
    EXPECT_EQ(ParseKeywordPage(c.line, kDir), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, KeywordPageLine,
    ::testing::Values(
        PageCase{"entry",
                 "<A href=\"vbs12.htm\">Abs Function</A><BR>",
                 {{"Abs Function", In("vbs12.htm")}}},
        PageCase{"lower_case_tag_skipped", "<a href=\"vbs12.htm\">Abs Function</a>", {}},
        PageCase{"mixed_case_attribute_skipped", "<A HREF=\"vbs12.htm\">Abs Function</A>", {}},
        PageCase{"leading_blank_skipped", " <A href=\"vbs12.htm\">Abs Function</A>", {}},
        PageCase{"single_quote_skipped", "<A href='vbs12.htm'>Abs Function</A>", {}},
        PageCase{"text_runs_to_first_closing_tag",
                 "<A href=\"a.htm\">If <B>Then</B></A>",
                 {{"If <B>Then", In("a.htm")}}},
        PageCase{"no_closing_tag_keeps_rest",
                 "<A href=\"a.htm\">Dim Statement",
                 {{"Dim Statement", In("a.htm")}}},
        PageCase{"subfolder_target",
                 "<A href=\"sub/a.htm\">Err Object</A>",
                 {{"Err Object", In("sub/a.htm")}}},
        PageCase{"no_target_end_skipped", "<A href=\"a.htm>Abs Function</A>", {}},
        PageCase{"parent_step_skipped", "<A href=\"../../bin/tool\">Abs Function</A>", {}},
        PageCase{"absolute_target_skipped", "<A href=\"/etc/passwd\">Abs Function</A>", {}},
        PageCase{"drive_target_skipped", "<A href=\"C:\\x.htm\">Abs Function</A>", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeywordPage, KeepsPageOrderAndDuplicatesOverAnyLineEnd) {
    const std::string page =
        "<HTML>\r\n<A href=\"b.htm\">Beep</A>\n<A href=\"a.htm\">Abs Function</A>\r"
        "<A href=\"b.htm\">Beep</A>";
    const std::vector<HelpTopic> expected = {
        {"Beep", In("b.htm")}, {"Abs Function", In("a.htm")}, {"Beep", In("b.htm")}};
    EXPECT_EQ(ParseKeywordPage(page, kDir), expected);
}

// --- Topic pages ---------------------------------------------------------

struct SyntaxCase {
    const char* name;
    const char* page;
    const char* expected;
};

class TopicSyntax : public ::testing::TestWithParam<SyntaxCase> {};

TEST_P(TopicSyntax, Extracts) { EXPECT_EQ(ExtractSyntax(GetParam().page), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Pages, TopicSyntax,
    ::testing::Values(
        SyntaxCase{"blockquote_paragraph",
                   "<H4>Abs</H4>\r\n<H5>Syntax</H5>\r\n<BLOCKQUOTE>\r\n"
                   "  <P><B>Abs</B>(<I>number</I>)</P>  \r\n</BLOCKQUOTE>\r\n",
                   "Abs(number)"},
        SyntaxCase{"empty_lines_skipped", "<H5>Syntax</H5>\n\n\n<P>Beep</P>\n", "Beep"},
        SyntaxCase{"entities_left", "<H5>Syntax</H5>\n<P>a &lt;&gt; b &amp; c</P>\n",
                   "a &lt;&gt; b &amp; c"},
        SyntaxCase{"text_after_last_tag_dropped", "<H5>Syntax</H5>\n<B>Len</B>(string)\n", "Len"},
        SyntaxCase{"no_tags_gives_nothing", "<H5>Syntax</H5>\nRnd[(number)]\n", ""},
        SyntaxCase{"unclosed_tag_ends_line", "<H5>Syntax</H5>\n<P>Fix(x) <I number\n", "Fix(x)"},
        SyntaxCase{"greater_than_before_tag_kept_once", "<H5>Syntax</H5>\n<P>a > b <I>c</I></P>\n",
                   "a > b c"},
        SyntaxCase{"heading_must_match_exactly",
                   "<h5>Syntax</h5>\n<P>x</P>\n<H5>Syntax</H5> \n<P>y</P>\n", ""},
        SyntaxCase{"no_heading", "<P>Abs(number)</P>\n", ""},
        SyntaxCase{
            "heading_last_line",
            "<P>x</P>\n<H5>Syntax</H5>",
            "",
        },
        SyntaxCase{"only_blockquote_after", "<H5>Syntax</H5>\r\n<BLOCKQUOTE>\r\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TopicSyntax, UnreadableFileGivesEmptyLine) {
    TempDir dir;
    EXPECT_EQ(GetSyntax((dir.path() / "absent.htm").string()), "");
    EXPECT_EQ(GetSyntax(dir.path().string()), "");  // a folder
}

// --- The word at the caret ---------------------------------------------------

struct WordCase {
    const char* name;
    const char* line;
    std::size_t column;
    std::optional<std::string> expected;  // nothing: no word to look up
};

class CaretWord : public ::testing::TestWithParam<WordCase> {};

TEST_P(CaretWord, Finds) {
    const WordCase& c = GetParam();
    EXPECT_EQ(HelpWordAt(c.line, c.column), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Words, CaretWord,
    ::testing::Values(WordCase{"inside_call", "x = abs(y)", 5, "abs"},
                      WordCase{"just_after_a_word", "x = abs(y)", 7, "abs"},
                      WordCase{"argument_not_its_function", "x = Left(strName, 3)", 12, "strName"},
                      WordCase{"after_the_open_paren", "x = Left(strName, 3)", 9, "strName"},
                      WordCase{"line_start", "Dim x", 0, "Dim"},
                      WordCase{"second_word", "Dim x", 5, "x"},
                      WordCase{"white_space", "a    b", 2, ""}, WordCase{"symbol", "a = b", 2, ""},
                      WordCase{"empty_line", "", 0, ""},
                      WordCase{"past_the_end", "Beep", 99, "Beep"},
                      WordCase{"inside_a_string", "MsgBox \"closing test\"", 16, std::nullopt},
                      WordCase{"at_the_end_of_an_open_string", "s = \"open test", 14, std::nullopt},
                      WordCase{"before_the_opening_quote", "MsgBox \"a\"", 7, ""},
                      WordCase{"after_the_closing_quote", "Len(\"a\")", 7, ""},
                      WordCase{"word_after_a_string", "x = \"a\" & Len(y)", 13, "Len"},
                      WordCase{"inside_a_comment", "x = 1 ' Left of it", 10, std::nullopt},
                      WordCase{"at_the_end_of_a_comment", "' Sub", 5, std::nullopt},
                      WordCase{"before_the_apostrophe", "x = 1 ' note", 6, ""},
                      WordCase{"rem_comment", "Rem Abs here", 6, std::nullopt},
                      WordCase{"quote_inside_a_comment", "' it's \"Abs", 11, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The index -------------------------------------------------------------

TEST(SyntaxList, LookupIsFirstInPageOrderWithoutRegardToCase) {
    const TSyntaxList list({{"Date Function", "d"},
                            {"date Statement", "s"},
                            {"DateAdd Function", "da"},
                            {"Abs Function", "a"},
                            {"Date Function", "d2"}});
    EXPECT_EQ(list.FirstStartingWith("DATE "), 0u);
    EXPECT_EQ(list.FirstStartingWith("dateadd "), 2u);
    EXPECT_EQ(list.FirstStartingWith("Beep "), std::nullopt);
    EXPECT_EQ(list.AllStartingWith("date"), (std::vector<std::size_t>{0, 1, 2, 4}));
    EXPECT_EQ(list.AllStartingWith("").size(), 5u);
    EXPECT_TRUE(list.AllStartingWith("Dates").empty());
}

TEST(SyntaxList, FixtureFolderGivesSyntaxLines) {
    const TSyntaxList list = TSyntaxList::FromFolder(VK_HELP_FIXTURE);
    ASSERT_EQ(list.Count(), 6u);  // the lower-case line is not an entry
    EXPECT_EQ(list.Topics()[0].path, JoinTopicPath(VK_HELP_FIXTURE, "abs.htm"));
    EXPECT_EQ(list.SyntaxLine("abs"), "Abs(number)");  // not "Absolute Value"
    EXPECT_EQ(list.SyntaxLine("DATEADD"), "DateAdd(interval, number, date)");
    EXPECT_EQ(list.SyntaxLine("Missing"), "");  // indexed, but no topic file
    EXPECT_EQ(list.SyntaxLine("Lower"), std::nullopt);
    EXPECT_EQ(list.SyntaxLine("Ab"), std::nullopt);
}

TEST(SyntaxList, TopicIsReadOnce) {
    TempDir dir;
    test::WriteFileBytes(dir.path() / "vbsalp2.htm", "<A href=\"t.htm\">Beep Statement</A>\n");
    test::WriteFileBytes(dir.path() / "t.htm", "<H5>Syntax</H5>\n<P>Beep</P>\n");
    const TSyntaxList list = TSyntaxList::FromFolder(dir.path().string());
    EXPECT_EQ(list.SyntaxLine("beep"), "Beep");
    std::filesystem::remove(dir.path() / "t.htm");
    EXPECT_EQ(list.SyntaxLine("beep"), "Beep");
}

TEST(SyntaxList, MissingFolderOrPageGivesEmptyIndex) {
    TempDir dir;
    EXPECT_EQ(TSyntaxList::FromFolder((dir.path() / "none").string()).Count(), 0u);
    EXPECT_EQ(TSyntaxList::FromFolder(dir.path().string()).Count(), 0u);
    EXPECT_EQ(TSyntaxList::FromFolder("").Count(), 0u);
}

#ifndef _WIN32
// Regression: a FIFO in place of the keyword page hung the editor at start,
// before any window; one in place of a topic hung it on a caret move.
TEST(SyntaxList, AFifoInPlaceOfAPageIsNoPage) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir.path() / "vbsalp2.htm").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir.path() / "t.htm").c_str(), 0600), 0);
    EXPECT_EQ(TSyntaxList::FromFolder(dir.path().string()).Count(), 0u);
    EXPECT_EQ(GetSyntax((dir.path() / "t.htm").string()), "");
}
#endif

TEST(HelpInstallDir, ReadsLocalMachineValueOnly) {
    TempDir dir;
    Registry registry(dir.path());
    EXPECT_EQ(GetHelpInstallDir(registry), "");
    registry.OpenKey(Hive::CurrentUser, kHelpInstallKey, true)->WriteString("InstallDir", "/cu");
    EXPECT_EQ(GetHelpInstallDir(registry), "");
    auto key = registry.OpenKey(Hive::LocalMachine, kHelpInstallKey, true);
    EXPECT_EQ(GetHelpInstallDir(registry), "");  // the key without the value
    key->WriteString("InstallDir", "/usr/share/doc/vbs");
    EXPECT_EQ(GetHelpInstallDir(registry), "/usr/share/doc/vbs");
}

}  // namespace
}  // namespace vk
