#include "editor/line_number_margin.h"

#include <algorithm>
#include <string>

#include "editor/script_editor.h"
#include "settings/settings.h"

namespace vk {
namespace {

constexpr unsigned long kMargin = 0;
constexpr int kMinDigits = 3;
constexpr int kPadding = 8;  // pixels around the numbers

}  // namespace

TLineNumberMargin::TLineNumberMargin(ScriptEditor& editor, const TSettings& settings)
    : QObject(&editor), editor_(editor), settings_(settings) {
    editor_.SendScintilla(QsciScintillaBase::SCI_SETMARGINTYPEN, kMargin,
                          static_cast<long>(QsciScintillaBase::SC_MARGIN_NUMBER));
    for (auto changed : {&ScriptEditor::scriptChanged, &ScriptEditor::scriptLoaded})
        connect(&editor_, changed, this, [this] {
            if (digits_ > 0) FitWidth();
        });
    Apply();
}

void TLineNumberMargin::Apply() {
    if (settings_.lineNumbers) {
        digits_ = 0;
        FitWidth();
    } else {
        digits_ = 0;
        editor_.SendScintilla(QsciScintillaBase::SCI_SETMARGINWIDTHN, kMargin, 0L);
    }
}

int TLineNumberMargin::Width() const {
    return static_cast<int>(editor_.SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, kMargin));
}

void TLineNumberMargin::FitWidth() {
    const auto lines = editor_.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    const int digits = std::max(kMinDigits, static_cast<int>(std::to_string(lines).size()));
    if (digits == digits_) return;
    digits_ = digits;
    const std::string widest(static_cast<std::size_t>(digits), '9');
    const long width = editor_.SendScintilla(QsciScintillaBase::SCI_TEXTWIDTH,
                                             QsciScintillaBase::STYLE_LINENUMBER, widest.c_str());
    editor_.SendScintilla(QsciScintillaBase::SCI_SETMARGINWIDTHN, kMargin, width + kPadding);
}

}  // namespace vk
