#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/font.h"

namespace vk {

class Registry;

inline constexpr std::string_view kProgramKey = "Software\\Thornmere\\Vellumkit";

// One help system of the syntax help, with whether it is used.
struct HelpFile {
    std::string name;
    bool enabled = false;
    bool operator==(const HelpFile&) const = default;
};

// The help systems in their fixed table order (table index 0 to 4).
inline constexpr std::array<std::string_view, 5> kHelpFileNames = {
    "Custom HTMLHelp file",
    "VBScript 3.1",
    "Microsoft Windows Script 5.0 Documentation",
    "Microsoft Windows Script 5.5 Documentation",
    "Microsoft Windows Script 5.6 Documentation",
};

// The one settings object of the process. Loaded from the registry when it is
// made; saved only when the configuration dialog closes with OK.
class TSettings {
public:
    // Sets the defaults and loads from `registry`.
    explicit TSettings(Registry& registry);

    // Sets the defaults, then reads every value present in the registry.
    void Load();
    // Writes every value; a key that cannot be created is skipped.
    void Save();

    // Editor
    bool applyTimeTag = false;
    bool applyIdTag = false;
    bool applyChecksumTag = false;
    bool validateObjects = false;
    bool validateApi = false;
    std::int32_t memoryBuffer = 128;  // kilobytes
    // "Memory buffer" in bytes, held to what an editor's limit can take (a
    // stored value may be anything).
    [[nodiscard]] int TextLimitBytes() const;
    bool displayStatus = true;
    std::int32_t gutterWidth = 0;  // pixels
    std::int32_t tabWidth = 3;     // characters
    std::uint8_t indentStyle = 0;  // 0 tabs, 1 spaces
    bool lineNumbers = false;      // the editor's line-number margin
    // Enter copies the leading blanks and tabs of the line it ends; off, it
    // inserts a plain line break.
    bool keepIndentation = false;
    bool noDdeCheck = false;
    // Code Browser
    bool codeBrowserDisabled = false;
    std::uint8_t jumpTo = 0;  // 0 the name, 1 the start of the declaring line
    std::int32_t jumpOffset = 0;
    std::string customIcons;
    std::int32_t iconCode = 1;
    std::int32_t iconNoCode = 8;
    std::int32_t iconNoEnd = 13;
    // Filter Builder
    bool linkCategory = true;
    std::uint8_t quoteStyle = 0;  // 0 double, 1 single, 2 none
    // History
    std::int32_t historyVersionsPerForm = 200;  // the newest kept of each form
    std::int32_t historyMegabytes = 100;        // all versions together, 10^6 bytes
    std::int32_t recoverySeconds = 30;          // how often unsaved changes are written
    // Help Files
    bool syntaxHelpEnabled = true;
    std::vector<HelpFile> helpFiles;  // position 0 has the highest priority

    // One text per stored value that could not be used as it stands and was
    // brought inside its range on the last Load ("The setting "Tab width"
    // holds 99, outside 1 to 32; 32 is used."), for the warnings panel.
    std::vector<std::string> clampedValues;

    Registry& registry() const { return *registry_; }

private:
    struct DefaultsOnly {};
    TSettings(Registry& registry, DefaultsOnly);
    void LoadHelpFiles();

    Registry* registry_;  // a pointer, so that Load can reset by assignment
};

// The editor font: "Font name" and "Font size" of the Editor key over the
// defaults "Courier New", 10. Never written by the program. A name longer
// than kMaxFontNameLength gives the default name, a size of 0 or less the
// default size, one above kMaxFontSize that bound; each is reported in
// `clamped` when given.
inline constexpr std::size_t kMaxFontNameLength = 255;
inline constexpr std::int32_t kMaxFontSize = 200;
void LoadEditorFont(Registry& registry, TFont& font, std::vector<std::string>* clamped = nullptr);
// Writes the face and size of `font` as the editor font (the configuration
// dialog's font choice).
void SaveEditorFont(Registry& registry, const TFont& font);

// Reads a token class's 5-byte colour record into the font's colour and
// style. False when the "Color Settings" key does not exist.
bool LoadTokenStyle(Registry& registry, std::string_view className, TFont& font);

// Writes the font's colour and style as the class's 5-byte record.
void SaveTokenStyle(Registry& registry, std::string_view className, const TFont& font);

}  // namespace vk
