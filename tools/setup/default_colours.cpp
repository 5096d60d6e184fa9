#include "default_colours.h"

#include <array>
#include <cstdint>
#include <string>

#include "highlight/token_class.h"
#include "settings/font.h"
#include "settings/settings.h"

namespace vk::setup {
namespace {

struct ClassColour {
    TokenClass tokenClass;
    std::uint32_t color;  // 0x00BBGGRR, all from the colour grid's sixteen
    std::uint8_t style;
};

constexpr std::array<ClassColour, kTokenClassCount> kScheme = {{
    {TokenClass::Comment, 0x008000, kItalic},  // green
    {TokenClass::Directive, 0x808080, 0},      // grey
    {TokenClass::Hexadecimal, 0x800080, 0},    // purple
    {TokenClass::Identifier, 0x000000, 0},
    {TokenClass::Keyword, 0x800000, kBold},  // navy
    {TokenClass::Number, 0x808000, 0},       // teal
    {TokenClass::String, 0x000080, 0},       // maroon
    {TokenClass::Symbol, 0x000000, 0},
    {TokenClass::Whitespace, 0x000000, 0},
}};

}  // namespace

bool InstallDefaultColours(Registry& registry, std::ostream& log) {
    const std::string path = std::string(kProgramKey) + "\\Color Settings";
    if (registry.OpenKey(Hive::CurrentUser, path)) {
        log << "Kept the colour settings\n";
        return true;
    }
    RegistryBatch batch = registry.BeginBatch(Hive::CurrentUser);
    for (const ClassColour& entry : kScheme) {
        TFont font;
        font.color = entry.color;
        font.style = entry.style;
        SaveTokenStyle(registry, TokenClassName(entry.tokenClass), font);
    }
    if (!batch.Commit()) {
        log << "Cannot write " << path << " in the registry\n";
        return false;
    }
    log << "Recorded a colour scheme for the script classes\n";
    return true;
}

}  // namespace vk::setup
