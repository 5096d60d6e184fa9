#include "highlight/class_looks.h"

#include <string>
#include <string_view>

#include "highlight/rtf_reader.h"
#include "highlight/tokenizer.h"

namespace vk {
namespace {

// One token of every class.
constexpr std::string_view kSample = "x Dim 1 \"s\" + &H1 $d\r\n'c";

}  // namespace

ClassLooks ClassLooksAsLoaded(const ClassFonts& fonts) {
    ClassLooks looks{};
    for (std::size_t k = 0; k < kTokenClassCount; ++k)
        looks[k] = ClassLook{fonts[k].color & 0xFFFFFF, fonts[k].Bold(), fonts[k].Italic()};

    // Where each class first occurs in the sample.
    std::array<std::size_t, kTokenClassCount> offsetOf{};
    offsetOf.fill(std::string_view::npos);
    const std::string sample(kSample);
    for (const char* p = sample.c_str(); *p != '\0';) {
        const TokenSpan token = ScanToken(p);
        auto& offset = offsetOf[IndexOf(token.cls)];
        if (offset == std::string_view::npos) offset = static_cast<std::size_t>(p - sample.c_str());
        p = token.end;
    }

    TColorStream stream(fonts);
    try {
        stream.LoadText(sample);
        stream.ConvertToRtf();
    } catch (const Exception&) {
        return looks;  // the fonts as they are: the best there is
    }
    const RtfReadResult read = ReadRtf(stream.Data());
    if (!read.document) return looks;
    for (const RtfRun& run : read.document->runs) {
        for (std::size_t k = 0; k < kTokenClassCount; ++k) {
            const std::size_t at = offsetOf[k];
            if (at < run.start || at >= run.start + run.length) continue;
            const RtfFormat& f = read.document->formats.at(run.format);
            looks[k] = ClassLook{f.color & 0xFFFFFF, f.bold, f.italic};
        }
    }
    return looks;
}

}  // namespace vk
