#include "colour_command.h"

#include <unistd.h>

#include <cstdlib>
#include <ostream>

#include "common/exceptions.h"
#include "highlight/class_fonts.h"
#include "highlight/tokenizer.h"
#include "platform/registry.h"

namespace vk::cli {
namespace {

// The escape that switches to a font's colour and style; empty when the
// font asks for nothing the terminal does not already show.
std::string EscapeOf(const TFont& font) {
    std::string codes;
    const auto add = [&](const std::string& code) {
        if (!codes.empty()) codes += ';';
        codes += code;
    };
    if (font.Bold()) add("1");
    if (font.Italic()) add("3");
    if ((font.style & kUnderline) != 0) add("4");
    if ((font.style & kStrikeOut) != 0) add("9");
    // 0x00BBGGRR is a colour of its own; 0xFF0000nn names a system colour,
    // which on a terminal is its default foreground.
    if ((font.color & 0xFF000000u) == 0) {
        add("38;2;" + std::to_string(font.color & 0xFF) + ';' +
            std::to_string((font.color >> 8) & 0xFF) + ';' +
            std::to_string((font.color >> 16) & 0xFF));
    }
    return codes.empty() ? std::string() : "\x1b[" + codes + "m";
}

bool WantsColour(const Invocation& call) {
    if (call.colour) return true;
    if (call.noColour) return false;
    const char* noColor = std::getenv("NO_COLOR");
    return isatty(STDOUT_FILENO) == 1 && (noColor == nullptr || *noColor == '\0');
}

void Write(std::ostream& out, std::string_view bytes) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) throw Exception("Cannot write the script to standard output");
}

}  // namespace

std::string AnsiColoured(std::string_view text, const ClassFonts& fonts) {
    std::array<std::string, kTokenClassCount> escapes;
    for (std::size_t i = 0; i < kTokenClassCount; ++i) escapes[i] = EscapeOf(fonts[i]);

    // The tokenizer reads a zero-terminated text; an embedded NUL is a
    // one-byte token it steps over.
    const std::string buffer(text);
    const char* const begin = buffer.c_str();
    const char* const end = begin + buffer.size();
    std::string out;
    out.reserve(buffer.size() * 2);
    for (const char* pos = begin; pos < end;) {
        const TokenSpan token = ScanToken(pos);
        const char* tokenEnd = token.end > pos ? token.end : pos + 1;
        const std::string& escape = escapes[IndexOf(token.cls)];
        if (token.cls == TokenClass::Whitespace || escape.empty()) {
            out.append(pos, tokenEnd);
        } else {
            out += escape;
            out.append(pos, tokenEnd);
            out += "\x1b[0m";
        }
        pos = tokenEnd;
    }
    return out;
}

ExitCode PrintColour(const Invocation& call, Streams io) {
    if (call.rtf) return PrintColouredRtf(call, io);
    const std::string& path = call.operands.at(0);
    const std::string bytes = ReadScriptOrThrow(path);
    if (!WantsColour(call)) {
        Write(io.out, bytes);
    } else {
        Write(io.out, AnsiColoured(bytes, LoadClassFonts(Registry::Instance())));
    }
    return ExitCode::Success;
}

}  // namespace vk::cli
