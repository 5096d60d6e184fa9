#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "highlight/color_stream.h"
#include "highlight/rtf_reader.h"
#include "highlight/tokenizer.h"
#include "script_generator.h"

namespace vk {
namespace {

// Every class distinguishable: its own size, and a mix of faces, table
// colours, a colour beside the table's, the window text colour and styles.
ClassFonts DistinctFonts() {
    ClassFonts fonts;
    const std::uint32_t colors[] = {0x008000, 0x808080, 0x800080, 0x123456,        0xFF0000,
                                    0x0000FF, 0x000080, 0x008080, kWindowTextColor};
    for (std::size_t k = 0; k < kTokenClassCount; ++k) {
        fonts[k].name = k % 3 == 0 ? "Courier New" : (k % 3 == 1 ? "Consolas" : "Lucida Console");
        fonts[k].size = 8 + static_cast<int>(k);
        fonts[k].color = colors[k];
        fonts[k].style = static_cast<std::uint8_t>(k % 4);  // none, bold, italic, both
    }
    return fonts;
}

// A colour beside the sixteen of the table is added to it and reads back as
// itself; the window text colour, a system colour, is written as "\cf"
// without a number, which reads back as colour 0.
std::uint32_t ColorAsRead(std::uint32_t color) { return color == kWindowTextColor ? 0 : color; }

// The token class of each byte of the text, as the writer classes it.
std::vector<TokenClass> ClassPerByte(const std::string& text) {
    std::vector<TokenClass> classes;
    const char* const end = text.c_str() + text.size();
    for (const char* p = text.c_str(); p < end;) {
        const TokenSpan token = ScanToken(p);
        classes.insert(classes.end(), static_cast<std::size_t>(token.end - p), token.cls);
        p = token.end;
    }
    return classes;
}

struct ScriptCase {
    const char* name;
    std::string text;
};

class RoundTripTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(RoundTripTest, ReadingTheRtfGivesTheTextInItsClassFonts) {
    const std::string& text = GetParam().text;
    const ClassFonts fonts = DistinctFonts();
    TColorStream stream(fonts);
    stream.LoadText(text);
    stream.ConvertToRtf();

    const RtfReadResult result = ReadRtf(stream.Data());
    ASSERT_TRUE(result.document) << result.error;
    const RtfDocument& doc = *result.document;
    ASSERT_EQ(doc.text.View(), text);

    const std::vector<TokenClass> classes = ClassPerByte(text);
    std::size_t covered = 0;
    for (const RtfRun& run : doc.runs) {
        ASSERT_EQ(run.start, covered);
        const RtfFormat& format = doc.formats.at(run.format);
        for (std::size_t i = run.start; i < run.start + run.length; ++i) {
            const TFont& font = fonts[IndexOf(classes[i])];
            // The LF of a CR LF belongs to the paragraph mark read before it.
            if (text[i] == '\n' && i > 0 && text[i - 1] == '\r') continue;
            ASSERT_EQ(format.face, font.name) << "byte " << i;
            ASSERT_EQ(format.sizeHalfPoints, font.size * 2) << "byte " << i;
            ASSERT_EQ(format.color, ColorAsRead(font.color)) << "byte " << i;
            ASSERT_EQ(format.bold, font.Bold()) << "byte " << i;
            ASSERT_EQ(format.italic, font.Italic()) << "byte " << i;
        }
        covered += run.length;
    }
    EXPECT_EQ(covered, text.size());
}

std::string AllBytes() {
    std::string bytes;
    for (int c = 0; c < 256; ++c) bytes.push_back(static_cast<char>(c));
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, RoundTripTest,
    ::testing::Values(ScriptCase{"Empty", ""}, ScriptCase{"OneLineWithoutLineEnd", "Dim x"},
                      ScriptCase{"OnlyLineEnds", "\r\n\r\n"},
                      ScriptCase{"EscapesAndAccents",
                                 "s = \"{a}\\b\" ' caf\xE9 \x80\r\n\tx = &hFF\r\n"},
                      ScriptCase{"UnclosedStringAndRem", "s = \"open\r\nRem done\r\nREM\r\n"},
                      ScriptCase{"StrayCrLfAndZero", std::string("a\rb\nc\r\r\n\0d\r", 12)},
                      ScriptCase{"EveryByte", AllBytes()},
                      ScriptCase{"GeneratedScript", bench::GenerateScript(20000, 7)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vk
