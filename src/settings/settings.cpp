#include "settings/settings.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string>
#include <variant>

#include "platform/registry.h"
#include "settings/config_numbers.h"

namespace vk {

namespace {

// Where a setting lives in memory. The member's type says how it is stored:
// bool as a 0/1 dword read as "non-zero"; std::int32_t as a dword taken as
// signed; std::uint8_t as a dword of which only the low byte is kept;
// std::string as a string value.
using Member = std::variant<bool TSettings::*, std::int32_t TSettings::*, std::uint8_t TSettings::*,
                            std::string TSettings::*>;

// What a stored value may be: for a number its lowest and highest value, for
// a string its greatest length. A value outside is brought inside on reading
// and reported (see TSettings::clampedValues); the registry keeps it until
// the configuration dialog's OK writes the settings.
struct Bounds {
    std::int64_t min = 0;
    std::int64_t max = 0;
};

Bounds BoundsOf(ConfigNumber field) {
    const ConfigNumberRange range = RangeOf(field);
    return {range.min, range.max};
}

struct Setting {
    std::string_view key;  // below the program key
    std::string_view name;
    Member member;
    std::optional<Bounds> bounds = std::nullopt;  // none: any value is usable
};

// Free text that is only stored and shown.
constexpr Bounds kTextBounds{0, 4096};

constexpr std::string_view kEditorKey = "Editor";
constexpr std::string_view kCodeBrowserKey = "Code Browser";
constexpr std::string_view kFilterBuilderKey = "Filter Builder";
constexpr std::string_view kHistoryKey = "History";
constexpr std::string_view kSyntaxHelpKey = "Help Files\\Syntax Help";
constexpr std::string_view kColorSettingsKey = "Color Settings";

constexpr std::string_view kKeysInOrder[] = {kEditorKey, kCodeBrowserKey, kFilterBuilderKey,
                                             kHistoryKey};

// Every plain setting, in the order Save writes them. (Load reads them in the
// same order; the reads are independent, so their order is not observable.)
// The defaults are the member initialisers in settings.h.
// The icon numbers are left as they are: a number with no image shows none,
// and the configuration dialog keeps such a number unless it is changed.
const Setting kSettings[] = {
    {kEditorKey, "Apply Time Tag", &TSettings::applyTimeTag},
    {kEditorKey, "Apply ID Tag", &TSettings::applyIdTag},
    {kEditorKey, "Apply Checksum Tag", &TSettings::applyChecksumTag},
    {kEditorKey, "Validate objects", &TSettings::validateObjects},
    {kEditorKey, "Validate API", &TSettings::validateApi},
    {kEditorKey, "Display status", &TSettings::displayStatus},
    {kEditorKey, "Memory buffer", &TSettings::memoryBuffer, BoundsOf(ConfigNumber::MemoryBuffer)},
    {kEditorKey, "Gutter width", &TSettings::gutterWidth, BoundsOf(ConfigNumber::GutterWidth)},
    {kEditorKey, "Tab width", &TSettings::tabWidth, BoundsOf(ConfigNumber::TabWidth)},
    {kEditorKey, "Indent style", &TSettings::indentStyle, Bounds{0, 1}},
    {kEditorKey, "Line numbers", &TSettings::lineNumbers},
    {kEditorKey, "Keep indentation", &TSettings::keepIndentation},
    {kEditorKey, "No DDE Check", &TSettings::noDdeCheck},
    {kCodeBrowserKey, "Disable", &TSettings::codeBrowserDisabled},
    {kCodeBrowserKey, "JumpOffset", &TSettings::jumpOffset, BoundsOf(ConfigNumber::JumpOffset)},
    {kCodeBrowserKey, "JumpTo", &TSettings::jumpTo, Bounds{0, 1}},
    {kCodeBrowserKey, "Custom icons", &TSettings::customIcons, kTextBounds},
    {kCodeBrowserKey, "Icon code", &TSettings::iconCode},
    {kCodeBrowserKey, "Icon no code", &TSettings::iconNoCode},
    {kCodeBrowserKey, "Icon no end", &TSettings::iconNoEnd},
    {kFilterBuilderKey, "Link Category", &TSettings::linkCategory},
    {kFilterBuilderKey, "Quote Style", &TSettings::quoteStyle, Bounds{0, 2}},
    {kHistoryKey, "Versions per form", &TSettings::historyVersionsPerForm, Bounds{1, 100000}},
    {kHistoryKey, "Megabytes in all", &TSettings::historyMegabytes, Bounds{1, 1000000}},
    {kHistoryKey, "Recovery interval", &TSettings::recoverySeconds, Bounds{5, 3600}},
};

constexpr std::string_view kDisableVbsHelp = "Disable VBS Help";
constexpr std::string_view kHelpOrder = "Order";
constexpr std::string_view kHelpEnabled = "Enabled";
constexpr std::string_view kFontName = "Font name";
constexpr std::string_view kFontSize = "Font size";

constexpr std::size_t kColorRecordSize = 5;

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

std::string ProgramKeyPath(std::string_view subkey) {
    std::string path(kProgramKey);
    if (!subkey.empty()) {
        path += '\\';
        path += subkey;
    }
    return path;
}

std::optional<RegistryKey> OpenProgramKey(Registry& registry, std::string_view subkey,
                                          bool create) {
    return registry.OpenKey(Hive::CurrentUser, ProgramKeyPath(subkey), create);
}

std::string OutsideText(std::string_view name, std::int64_t stored, std::int64_t used,
                        const Bounds& bounds) {
    return "The setting \"" + std::string(name) + "\" holds " + std::to_string(stored) +
           ", outside " + std::to_string(bounds.min) + " to " + std::to_string(bounds.max) + "; " +
           std::to_string(used) + " is used.";
}

void ReadSetting(const RegistryKey& key, const Setting& setting, TSettings& settings) {
    std::visit(Overloaded{
                   [&](std::string TSettings::*member) {
                       auto text = key.ReadString(setting.name);
                       if (!text) return;
                       if (setting.bounds &&
                           text->size() > static_cast<std::size_t>(setting.bounds->max)) {
                           settings.clampedValues.push_back(
                               "The setting \"" + std::string(setting.name) + "\" is " +
                               std::to_string(text->size()) + " characters long; its first " +
                               std::to_string(setting.bounds->max) + " are used.");
                           text->resize(static_cast<std::size_t>(setting.bounds->max));
                       }
                       settings.*member = std::move(*text);
                   },
                   [&](auto TSettings::*member) {
                       const auto number = key.ReadInteger(setting.name);
                       if (!number) return;
                       using T = std::remove_reference_t<decltype(settings.*member)>;
                       if constexpr (std::is_same_v<T, bool>) {
                           settings.*member = *number != 0;
                       } else {
                           const T stored = static_cast<T>(*number);  // low byte / two's complement
                           settings.*member = stored;
                           if (!setting.bounds) return;
                           const std::int64_t used = std::clamp<std::int64_t>(
                               stored, setting.bounds->min, setting.bounds->max);
                           if (used == stored) return;
                           settings.*member = static_cast<T>(used);
                           settings.clampedValues.push_back(
                               OutsideText(setting.name, stored, used, *setting.bounds));
                       }
                   },
               },
               setting.member);
}

void WriteSetting(RegistryKey& key, const Setting& setting, const TSettings& settings) {
    std::visit(Overloaded{
                   [&](std::string TSettings::*member) {
                       (void)key.WriteString(setting.name, settings.*member);
                   },
                   [&](auto TSettings::*member) {
                       (void)key.WriteInteger(setting.name,
                                              static_cast<std::uint32_t>(settings.*member));
                   },
               },
               setting.member);
}

}  // namespace

TSettings::TSettings(Registry& registry, DefaultsOnly) : registry_(&registry) {
    // Before loading, the help systems stand in reverse table order.
    for (auto it = kHelpFileNames.rbegin(); it != kHelpFileNames.rend(); ++it)
        helpFiles.push_back(HelpFile{std::string(*it), false});
}

TSettings::TSettings(Registry& registry) : TSettings(registry, DefaultsOnly{}) { Load(); }

void TSettings::Load() {
    *this = TSettings(*registry_, DefaultsOnly{});
    for (const std::string_view keyName : kKeysInOrder) {
        const auto key = OpenProgramKey(*registry_, keyName, false);
        if (!key) continue;
        for (const Setting& setting : kSettings)
            if (setting.key == keyName) ReadSetting(*key, setting, *this);
    }
    LoadHelpFiles();
}

void TSettings::LoadHelpFiles() {
    const auto syntaxHelp = OpenProgramKey(*registry_, kSyntaxHelpKey, false);
    if (!syntaxHelp) {
        syntaxHelpEnabled = true;
        helpFiles.front().enabled = true;
        return;
    }
    // A missing switch keeps help on and goes on with the list.
    if (const auto disabled = syntaxHelp->ReadInteger(kDisableVbsHelp))
        syntaxHelpEnabled = *disabled == 0;
    // The list is read also while help is switched off: the configuration
    // dialog shows it and its OK writes it back, so a list left at its
    // initial order would overwrite the user's order and marks.

    // Each subkey moves its help system to its stored position by exchanging
    // it with the entry there, in table order. A subkey without a usable
    // "Order" leaves its entry where it stands.
    for (const std::string_view name : kHelpFileNames) {
        const auto key = OpenProgramKey(
            *registry_, std::string(kSyntaxHelpKey) + "\\" + std::string(name), false);
        if (!key) continue;
        const auto order = key->ReadInteger(kHelpOrder);
        if (!order || *order >= helpFiles.size()) continue;
        const auto it = std::find_if(helpFiles.begin(), helpFiles.end(),
                                     [&](const HelpFile& file) { return file.name == name; });
        const auto position = static_cast<std::size_t>(it - helpFiles.begin());
        if (it != helpFiles.end() && position != *order) std::swap(*it, helpFiles[*order]);
        const auto enabled = key->ReadInteger(kHelpEnabled);
        if (enabled && *enabled != 0) helpFiles[*order].enabled = true;
    }
}

void TSettings::Save() {
    // One file write for the whole object instead of one per value.
    RegistryBatch batch = registry_->BeginBatch(Hive::CurrentUser);
    for (const std::string_view keyName : kKeysInOrder) {
        auto key = OpenProgramKey(*registry_, keyName, true);
        if (!key) continue;
        for (const Setting& setting : kSettings)
            if (setting.key == keyName) WriteSetting(*key, setting, *this);
    }
    if (auto syntaxHelp = OpenProgramKey(*registry_, kSyntaxHelpKey, true))
        (void)syntaxHelp->WriteInteger(kDisableVbsHelp, syntaxHelpEnabled ? 0 : 1);
    for (std::size_t position = 0; position < helpFiles.size(); ++position) {
        const HelpFile& file = helpFiles[position];
        auto key = OpenProgramKey(*registry_, std::string(kSyntaxHelpKey) + "\\" + file.name, true);
        if (!key) continue;
        (void)key->WriteInteger(kHelpEnabled, file.enabled ? 1 : 0);
        (void)key->WriteInteger(kHelpOrder, static_cast<std::uint32_t>(position));
    }
}

void LoadEditorFont(Registry& registry, TFont& font, std::vector<std::string>* clamped) {
    font.name = "Courier New";
    font.size = 10;
    const auto key = OpenProgramKey(registry, kEditorKey, false);
    if (!key) return;
    const auto report = [clamped](std::string text) {
        if (clamped) clamped->push_back(std::move(text));
    };
    if (auto name = key->ReadString(kFontName); name && !name->empty()) {
        // No font has a name that long; one that is would cost its length in
        // every style and every document that names the font.
        if (name->size() <= kMaxFontNameLength)
            font.name = std::move(*name);
        else
            report("The setting \"Font name\" is " + std::to_string(name->size()) +
                   " characters long, longer than any font's name; \"Courier New\" is used.");
    }
    if (const auto stored = key->ReadInteger(kFontSize)) {
        const auto size = static_cast<std::int32_t>(*stored);
        // Zero or less gives no usable font: the default. Above the bound
        // the sizes in points, twips and pixels run out of range.
        const std::int32_t used = size <= 0 ? font.size : std::min(size, kMaxFontSize);
        if (used != size) report(OutsideText("Font size", size, used, Bounds{1, kMaxFontSize}));
        font.size = used;
    }
}

void SaveEditorFont(Registry& registry, const TFont& font) {
    auto key = OpenProgramKey(registry, kEditorKey, true);
    if (!key) return;
    (void)key->WriteString(kFontName, font.name);
    (void)key->WriteInteger(kFontSize, static_cast<std::uint32_t>(font.size));
}

bool LoadTokenStyle(Registry& registry, std::string_view className, TFont& font) {
    font.color = kWindowTextColor;
    font.style = 0;
    const auto key = OpenProgramKey(registry, kColorSettingsKey, false);
    if (!key) return false;
    // A record of another length is not one this program wrote: the class
    // keeps the window text colour.
    const auto record = key->ReadBinary(className);
    if (record && record->size() == kColorRecordSize) {
        font.color = static_cast<std::uint32_t>((*record)[0]) |
                     static_cast<std::uint32_t>((*record)[1]) << 8 |
                     static_cast<std::uint32_t>((*record)[2]) << 16 |
                     static_cast<std::uint32_t>((*record)[3]) << 24;
        font.style = (*record)[4];
    }
    return true;
}

void SaveTokenStyle(Registry& registry, std::string_view className, const TFont& font) {
    auto key = OpenProgramKey(registry, kColorSettingsKey, true);
    if (!key) return;
    const std::vector<std::uint8_t> record = {
        static_cast<std::uint8_t>(font.color & 0xFF),
        static_cast<std::uint8_t>((font.color >> 8) & 0xFF),
        static_cast<std::uint8_t>((font.color >> 16) & 0xFF),
        static_cast<std::uint8_t>((font.color >> 24) & 0xFF),
        font.style,
    };
    (void)key->WriteBinary(className, record);
}

int TSettings::TextLimitBytes() const {
    const std::int64_t bytes = static_cast<std::int64_t>(memoryBuffer) * 1024;
    return static_cast<int>(std::clamp<std::int64_t>(bytes, 0, INT_MAX));
}

}  // namespace vk
