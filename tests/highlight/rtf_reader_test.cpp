#include "highlight/rtf_reader.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace vk {
namespace {

struct RunView {
    std::string text;
    std::string face;
    int size;
    std::uint32_t color;
    bool bold;
    bool italic;
    bool operator==(const RunView&) const = default;
};

void PrintTo(const RunView& r, std::ostream* os) {
    *os << '"' << r.text << "\" " << r.face << ' ' << r.size << " #" << std::hex << r.color
        << std::dec << (r.bold ? " bold" : "") << (r.italic ? " italic" : "");
}

std::vector<RunView> Runs(const RtfDocument& doc) {
    std::vector<RunView> runs;
    std::size_t expectedStart = 0;
    for (const RtfRun& r : doc.runs) {
        EXPECT_EQ(r.start, expectedStart) << "runs must cover the text in order";
        expectedStart = r.start + r.length;
        const RtfFormat& f = doc.formats.at(r.format);
        runs.push_back({std::string(doc.text.View().substr(r.start, r.length)), f.face,
                        f.sizeHalfPoints, f.color, f.bold, f.italic});
    }
    EXPECT_EQ(expectedStart, doc.text.Size());
    EXPECT_EQ(doc.runs.TextLength(), doc.text.Size());
    return runs;
}

// RTF as other programs write it: font entries with family and charset,
// an "auto" first colour, \* destinations, document info, unknown words,
// \cf without a number, switches with and without 0, \plain and escapes.
TEST(ReadRtfTest, ReadsFormattingOfOrdinaryRtf) {
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff1{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
        "{\\f1\\fmodern Courier New;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}\r\n"
        "{\\*\\generator Writer 1.0;}{\\info{\\title T}}"
        "\\viewkind4\\uc1\\pard\\f0\\fs24 plain \\b bold\\b0  \\i it\\i0\\par\r\n"
        "\\cf1\\fs20 red\\cf  zero\\cf2{\\b  grp}\\tab tab \\ul x\\ulnone\r\n"
        "\\plain \\'e9\\{\\}\\\\ \\~\\par\r\n"
        "}";
    const RtfReadResult result = ReadRtf(rtf);
    ASSERT_TRUE(result.document) << result.error;
    EXPECT_EQ(result.document->text.View(), "plain bold it\r\nred zero grp\ttab x\xE9{}\\ \xA0");
    const std::vector<RunView> expected = {
        {"plain ", "Arial", 24, 0, false, false},
        {"bold", "Arial", 24, 0, true, false},
        {" ", "Arial", 24, 0, false, false},
        {"it", "Arial", 24, 0, false, true},
        {"\r\n", "Arial", 24, 0, false, false},
        {"red", "Arial", 20, 0x0000FF, false, false},
        {" zero", "Arial", 20, 0, false, false},
        {" grp", "Arial", 20, 0x800000, true, false},
        {"\ttab x", "Arial", 20, 0x800000, false, false},
        {"\xE9{}\\ \xA0", "Courier New", 24, 0, false, false},
    };
    EXPECT_EQ(Runs(*result.document), expected);
}

TEST(ReadRtfTest, OnlyTheLastParagraphMarkIsDropped) {
    const RtfReadResult result = ReadRtf("{\\rtf1 a\\par\\par}");
    ASSERT_TRUE(result.document) << result.error;
    EXPECT_EQ(result.document->text.View(), "a\r\n");
    const RtfReadResult empty = ReadRtf("{\\rtf1 }\r\n");
    ASSERT_TRUE(empty.document) << empty.error;
    EXPECT_TRUE(empty.document->text.View().empty());
    EXPECT_TRUE(empty.document->runs.empty());
}

struct BadCase {
    const char* name;
    std::string rtf;
};

class ReadRtfErrorTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(ReadRtfErrorTest, GivesAnErrorInsteadOfADocument) {
    const RtfReadResult result = ReadRtf(GetParam().rtf);
    EXPECT_FALSE(result.document);
    EXPECT_FALSE(result.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ReadRtfErrorTest,
    ::testing::Values(BadCase{"Empty", ""}, BadCase{"PlainText", "hello"},
                      BadCase{"UnclosedGroup", "{\\rtf1 {\\b x}"},
                      BadCase{"EndsInBackslash", "{\\rtf1 x\\"},
                      BadCase{"EndsInHexEscape", "{\\rtf1 \\'4"},
                      BadCase{"BadHexDigits", "{\\rtf1 \\'zz}"},
                      BadCase{"TextAfterTheEnd", "{\\rtf1 x}}"},
                      BadCase{"BinaryPastTheEnd", "{\\rtf1 \\bin100 ab}"},
                      BadCase{"ControlWordTooLong", "{\\rtf1 \\" + std::string(40, 'a') + "}"},
                      BadCase{"NumberTooLong", "{\\rtf1 \\fs123456789012 x}"},
                      BadCase{"NestedTooDeeply", "{\\rtf1 " + std::string(100000, '{') +
                                                     std::string(100000, '}') + "}"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadRtfTest, EveryTruncationOfADocumentIsAnError) {
    const std::string rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Courier New;}}\r\n{\\colortbl\\red0\\green0\\blue0;}"
        "\r\n\\pard\\plain\\f0\\fs20 {\\f0\\fs20\\cf0 \\b \\'e9\\{}{\\f0\\fs20\\cf \\par \r\n}"
        "\r\n\\par }";
    ASSERT_TRUE(ReadRtf(rtf).document);
    for (std::size_t length = 0; length < rtf.size(); ++length) {
        const RtfReadResult result = ReadRtf(std::string_view(rtf).substr(0, length));
        EXPECT_FALSE(result.document) << "prefix of " << length << " bytes";
    }
}

// The same group opening under a different outer format must not reuse the
// format it gave the first time.
TEST(ReadRtfTest, RepeatedGroupOpeningsFollowTheirOuterFormat) {
    const RtfReadResult result = ReadRtf(
        "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}{\\b x}\\i\\cf1 {\\b y}{\\b z}\\i0 {\\b w}}");
    ASSERT_TRUE(result.document) << result.error;
    const std::vector<RunView> expected = {
        {"x", "", 24, 0, true, false},
        {"yz", "", 24, 0x0000FF, true, true},
        {"w", "", 24, 0x0000FF, true, false},
    };
    EXPECT_EQ(Runs(*result.document), expected);
}

// Runs share one entry per distinct format, however they were written, and
// neighbours of the same format are one run.
TEST(ReadRtfTest, RunsShareTheFormatsTheyHave) {
    const RtfReadResult result = ReadRtf(
        "{\\rtf1{\\colortbl\\red0\\green0\\blue0;\\red255\\green0\\blue0;}"
        "{\\cf0 a}{\\cf b}{\\cf1 c}{\\b0\\cf1 d}{\\b e}{\\cf1 f}}");
    ASSERT_TRUE(result.document) << result.error;
    const RtfDocument& doc = *result.document;
    const std::vector<RunView> expected = {
        {"ab", "", 24, 0, false, false},
        {"cd", "", 24, 0x0000FF, false, false},
        {"e", "", 24, 0, true, false},
        {"f", "", 24, 0x0000FF, false, false},
    };
    EXPECT_EQ(Runs(doc), expected);
    EXPECT_EQ(doc.formats.size(), 3u);
    std::vector<std::size_t> formats;
    for (const RtfRun& run : doc.runs) formats.push_back(run.format);
    EXPECT_EQ(formats, (std::vector<std::size_t>{0, 1, 2, 1}));
}

// Paragraph marks and escapes inside a run read the same whichever way they
// are spelt, and a word that only starts like \par is not one.
TEST(ReadRtfTest, ParagraphMarksAndEscapesInsideRuns) {
    const RtfReadResult result =
        ReadRtf("{\\rtf1{\\b a\\par b\\pard c\\par\r\nd\\\\\\{\\}e\\par\\par}}");
    ASSERT_TRUE(result.document) << result.error;
    const std::vector<RunView> expected = {{"a\r\nbc\r\nd\\{}e\r\n", "", 24, 0, true, false}};
    EXPECT_EQ(Runs(*result.document), expected);
}

// A font table read after text must not leave earlier text with the new
// face, nor later text with the old one.
TEST(ReadRtfTest, FormatsFollowTablesReadAfterText) {
    const RtfReadResult result =
        ReadRtf("{\\rtf1{\\f1 x}{\\fonttbl{\\f1 Arial;}}{\\f1 y}{\\f1 z}}");
    ASSERT_TRUE(result.document) << result.error;
    const std::vector<RunView> expected = {
        {"x", "", 24, 0, false, false},
        {"yz", "Arial", 24, 0, false, false},
    };
    EXPECT_EQ(Runs(*result.document), expected);
}

// A group that opens like a run met before but holds more than text (a
// word, a group, nothing at all) reads as any group does.
TEST(ReadRtfTest, KnownRunOpeningsFollowedByMoreThanText) {
    const RtfReadResult result = ReadRtf(
        "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}"
        "{\\cf1 a}{\\cf1 b\\b c}d{\\cf1 }{\\cf1 \\par e{\\i f}g}{\\cf1 \\{}h{\\cf1 \\par5 i}}");
    ASSERT_TRUE(result.document) << result.error;
    const std::vector<RunView> expected = {
        {"ab", "", 24, 0x0000FF, false, false}, {"c", "", 24, 0x0000FF, true, false},
        {"d", "", 24, 0, false, false},         {"\r\ne", "", 24, 0x0000FF, false, false},
        {"f", "", 24, 0x0000FF, false, true},   {"g{", "", 24, 0x0000FF, false, false},
        {"h", "", 24, 0, false, false},         {"\r\ni", "", 24, 0x0000FF, false, false},
    };
    EXPECT_EQ(Runs(*result.document), expected);
}

TEST(ReadRtfTest, BinaryDataMayHoldBraces) {
    const RtfReadResult result = ReadRtf("{\\rtf1 a{\\*\\pict\\bin3 }{\\}b}");
    ASSERT_TRUE(result.document) << result.error;
    EXPECT_EQ(result.document->text.View(), "ab");
}

}  // namespace
}  // namespace vk
