#include "highlight/piece_colouring.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "script_generator.h"

namespace vk {
namespace {

ClassFonts SchemeFonts() {
    ClassFonts fonts{};
    fonts[IndexOf(TokenClass::Comment)].color = 0x008000;
    fonts[IndexOf(TokenClass::Comment)].style = kItalic;
    fonts[IndexOf(TokenClass::Keyword)].color = 0x800000;
    fonts[IndexOf(TokenClass::Keyword)].style = kBold;
    fonts[IndexOf(TokenClass::String)].color = 0x000080;
    fonts[IndexOf(TokenClass::Number)].name = "Consolas";
    fonts[IndexOf(TokenClass::Hexadecimal)].size = 12;
    return fonts;
}

// The format of every byte.
std::vector<RtfFormat> FormatPerByte(const std::vector<RtfFormat>& formats, const RtfRuns& runs) {
    std::vector<RtfFormat> perByte;
    for (const RtfRun& run : runs)
        perByte.insert(perByte.end(), run.length, formats.at(run.format));
    return perByte;
}

std::vector<RtfFormat> WholeConversion(const std::string& script, const ClassFonts& fonts) {
    TColorStream stream(fonts);
    stream.LoadText(script);
    stream.ConvertToRtf();
    const RtfReadResult read = ReadRtf(stream.Data());
    if (!read.document) throw std::runtime_error(read.error);
    return FormatPerByte(read.document->formats, read.document->runs);
}

TEST(PieceStartsTest, PiecesEndRightAfterALineEnd) {
    struct Case {
        const char* name;
        std::string script;
        std::size_t pieceSize;
        std::vector<std::size_t> starts;
    };
    const Case cases[] = {
        {"Empty", "", 4, {0}},
        {"NoLineEnd", "Dim x = 1", 2, {0}},
        {"EveryLine", "a\r\nb\r\nc\r\n", 1, {0, 3, 6}},
        {"NoEmptyLastPiece", "ab\r\n", 1, {0}},
        {"LongerPieces", "a\r\nb\r\nc\r\nd", 4, {0, 6}},
        // "\r\r" is one token; the split still falls after the LF.
        {"CrBeforeCrLf", "a\r\r\nb\r\n", 1, {0, 4}},
        {"LoneLfIsNoLineEnd", "a\nb\r\nc", 1, {0, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PieceStarts(c.script, c.pieceSize), c.starts);
    }
}

TEST(ColourInPiecesTest, PiecesColourExactlyAsTheWholeScript) {
    const ClassFonts fonts = SchemeFonts();
    const std::string scripts[] = {
        bench::GenerateScript(60000, 3),
        "s = \"open\r\nRem done\r\nx\r\r\n' {c}\\ \x80\r\n$OBJECT=Form\r\n&H1F\r\n",
        // Bytes the RTF escapes: a lone CR or LF and NUL, also next to line ends.
        std::string("a\rb\r\n\nc\r\n\0d\r\n\r\r\n\0", 17),
    };
    for (const std::string& script : scripts) {
        for (std::size_t pieceSize : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
            SCOPED_TRACE(pieceSize);
            PieceColouringOptions options;
            options.pieceSize = pieceSize;
            options.parallelFrom = 0;
            int meanwhileCalls = 0;
            const std::vector<ColouredPiece> pieces =
                ColourInPieces(script, fonts, options, [&] { ++meanwhileCalls; });
            EXPECT_EQ(meanwhileCalls, 1);

            std::vector<RtfFormat> perByte;
            std::size_t offset = 0;
            for (const ColouredPiece& piece : pieces) {
                ASSERT_EQ(piece.offset, offset);
                ASSERT_EQ(piece.runs.TextLength(), piece.length);
                const std::vector<RtfFormat> formats = FormatPerByte(piece.formats, piece.runs);
                perByte.insert(perByte.end(), formats.begin(), formats.end());
                offset += piece.length;
            }
            ASSERT_EQ(offset, script.size());
            ASSERT_TRUE(perByte == WholeConversion(script, fonts));
        }
    }
}

TEST(ColourInPiecesTest, AnyPieceFailingFailsTheWhole) {
    PieceColouringOptions small;
    small.pieceSize = 16;
    small.parallelFrom = 0;
    std::string script;
    for (int i = 0; i < 200; ++i) script += "Dim x\r\n";

    PieceColouringOptions limited = small;
    limited.outputLimit = 64;
    EXPECT_THROW((void)ColourInPieces(script, SchemeFonts(), limited, {}), EConversionFailed);

    // The calling thread's own work failing wins over the pieces' results.
    EXPECT_THROW((void)ColourInPieces(script, SchemeFonts(), small,
                                      [] { throw std::logic_error("editor refused the text"); }),
                 std::logic_error);
}

}  // namespace
}  // namespace vk
