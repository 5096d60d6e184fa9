#include "highlight/color_stream.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "golden.h"
#include "script_generator.h"

namespace vk {
namespace {

using test::MatchesGolden;

constexpr std::uint32_t kRed = 0x0000FF;   // table colour 9
constexpr std::uint32_t kBlue = 0xFF0000;  // table colour 12
constexpr std::uint32_t kGreen = 0x008000;

TFont Font(std::uint32_t color, std::uint8_t style = 0, int size = 10,
           std::string name = "Courier New") {
    return TFont{std::move(name), size, color, style};
}

ClassFonts AllIn(const TFont& font) {
    ClassFonts fonts;
    fonts.fill(font);
    return fonts;
}

std::string Convert(const ClassFonts& fonts, std::string_view text) {
    TColorStream stream(fonts);
    stream.LoadText(text);
    stream.ConvertToRtf();
    return std::string(stream.Data());
}

TEST(ConvertToRtfTest, EmptyTextGivesTablesAndClosingBrace) {
    EXPECT_TRUE(MatchesGolden("empty.rtf", Convert(ClassFonts{}, "")));
}

TEST(ConvertToRtfTest, KeywordInTableColourAndBold) {
    ClassFonts fonts;
    fonts[IndexOf(TokenClass::Keyword)] = Font(kBlue, kBold);
    EXPECT_TRUE(MatchesGolden("dim_x.rtf", Convert(fonts, "Dim x")));
}

TEST(ConvertToRtfTest, BracesAndBackslashesAreEscaped) {
    EXPECT_TRUE(MatchesGolden("escapes.rtf", Convert(ClassFonts{}, "a{b}\\c")));
}

TEST(ConvertToRtfTest, BoldAndItalicClass) {
    ClassFonts fonts;
    fonts[IndexOf(TokenClass::Comment)] = Font(kGreen, kBold | kItalic);
    EXPECT_TRUE(MatchesGolden("bold_italic.rtf", Convert(fonts, "x ' note")));
}

// A colour beside the sixteen of the table (one the colour dialog gave) is
// added to the table after them, so it shows; the window text colour, a
// system colour, gets "\cf" without a number. A second face gets a second
// font table entry, and a face name cannot break the table.
TEST(ConvertToRtfTest, OtherColoursAndFaces) {
    ClassFonts fonts;
    fonts[IndexOf(TokenClass::Identifier)] = Font(0x123456);
    fonts[IndexOf(TokenClass::String)] = Font(kRed, 0, 10, "Lucida {Sans}");
    EXPECT_TRUE(MatchesGolden("colours_and_faces.rtf", Convert(fonts, "s = \"t\"")));
}

TEST(ConvertToRtfTest, TwelvePointsInEveryRunButNotTheDefaultLine) {
    EXPECT_TRUE(MatchesGolden("size12.rtf", Convert(AllIn(Font(kBlue, 0, 12)), "x = 1\r\n")));
}

TEST(ConvertToRtfTest, MultiLineScript) {
    ClassFonts fonts;
    fonts[IndexOf(TokenClass::Comment)] = Font(kGreen, kItalic);
    fonts[IndexOf(TokenClass::Keyword)] = Font(kBlue, kBold);
    fonts[IndexOf(TokenClass::String)] = Font(kRed);
    const std::string script =
        "$OBJECT=Form\r\n"
        "Sub Form_OnSave()\r\n"
        "\tDim s: s = \"{x}\" & &H1F ' why\r\n"
        "End Sub\r\n";
    EXPECT_TRUE(MatchesGolden("script.rtf", Convert(fonts, script)));
}

// Lone CR, lone LF and zero bytes would be dropped or turned into line ends
// by an RTF reader; they are written as \'hh so they come back unchanged.
TEST(ConvertToRtfTest, StrayLineBreakBytesAndZerosAreHexEscaped) {
    const std::string text("a\nb\rc\0d\r", 8);
    const std::string rtf = Convert(ClassFonts{}, text);
    const std::string runs = rtf.substr(rtf.find("\\fs20 ") + 6);
    EXPECT_EQ(runs,
              "{\\f0\\fs20\\cf a}{\\f0\\fs20\\cf \\'0a}{\\f0\\fs20\\cf b}"
              "{\\f0\\fs20\\cf \\'0dc}{\\f0\\fs20\\cf \\'00}{\\f0\\fs20\\cf d}"
              "{\\f0\\fs20\\cf \\'0d}\r\n\\par }");
}

TEST(ConvertToRtfTest, FontOfIsTheFontTheConversionUses) {
    TColorStream stream;
    stream.FontOf(TokenClass::Number) = Font(kRed, kItalic, 14);
    stream.LoadText("7");
    stream.ConvertToRtf();
    EXPECT_NE(stream.Data().find("{\\f0\\fs28\\cf9 \\i 7}"), std::string_view::npos);
    EXPECT_EQ(&stream.FontOf(IndexOf(TokenClass::Number)), &stream.FontOf(TokenClass::Number));
    EXPECT_THROW((void)stream.FontOf(kTokenClassCount), std::out_of_range);
}

// The output starts at the text length + 3 bytes and grows in whole steps of
// 65,536 bytes, each time to the smallest size above the length. With an
// output limit exactly that size the conversion succeeds; one byte less and
// it fails, keeping the plain text.
TEST(ConvertToRtfTest, OutputGrowsInSixtyFourKilobyteSteps) {
    for (std::size_t size : {1u, 40'000u, 300'000u}) {
        const std::string text = bench::GenerateScript(size).substr(0, size);
        const std::size_t rtfSize = Convert(ClassFonts{}, text).size();
        const std::size_t initial = text.size() + 3;
        const std::size_t steps = rtfSize < initial ? 0 : (rtfSize - initial) / 65536 + 1;
        const std::size_t capacity = initial + steps * 65536;

        TColorStream stream;
        stream.LoadText(text);
        stream.SetOutputLimit(capacity);
        stream.ConvertToRtf();
        EXPECT_EQ(stream.Size(), rtfSize) << size;

        stream.LoadText(text);
        stream.SetOutputLimit(capacity - 1);
        try {
            stream.ConvertToRtf();
            ADD_FAILURE() << "converted within " << capacity - 1 << " bytes, size " << size;
        } catch (const EConversionFailed& e) {
            EXPECT_STREQ(e.what(), "conversion buffer to small");
        }
        EXPECT_EQ(stream.Data(), text) << size;
    }
}

TEST(ConvertToRtfTest, LoadsAFileIntoTheStream) {
    test::TempDir dir;
    const std::string bytes("Dim x\r\n\x80\0", 9);
    test::WriteFileBytes(dir.path() / "script.txt", bytes);
    TColorStream stream;
    stream.LoadFromFile(dir.path() / "script.txt");
    EXPECT_EQ(stream.Data(), bytes);
    EXPECT_THROW(stream.LoadFromFile(dir.path() / "missing.txt"), Exception);
    stream.Clear();
    EXPECT_EQ(stream.Size(), 0u);
}

}  // namespace
}  // namespace vk
