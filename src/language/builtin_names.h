#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "language/tokens.h"

namespace vk::language {

// What a name the script does not declare stands for.
enum class SeedKind : std::uint8_t {
    Keyword,   // a reserved word of the grammar (see tokens.h)
    Word,      // a word with a meaning in one place only (Property Get, Step, ...)
    Function,  // a function or statement of the script engine (MsgBox, Randomize)
    Constant,  // vbCrLf, vbYes, ...
    Object,    // Err
    Class,     // RegExp, for New
    Host,      // an object Commence gives a form script (Form)
};

struct SeedName {
    std::string_view name;
    SeedKind kind;
};

// Words that steer the parser in one place and are plain names elsewhere.
// Their ids follow the keywords'.
enum class Word : std::uint32_t {
    Property = kKeywordCount,
    Get,
    Let,
    Default,
    Explicit,
    Error,
    Resume,
    GoTo,
    Step,
    Stop,
    As,
    Optional,
    ParamArray,
    Object,
};

// Every name the name table starts with, in id order: the keywords, the
// words above, then the engine's and the host's names.
[[nodiscard]] std::span<const SeedName> SeedNames() noexcept;

// Ids of seeded names the checks look for.
struct SeedIds {
    std::uint32_t execute;
    std::uint32_t executeGlobal;
    std::uint32_t regExp;
};
[[nodiscard]] const SeedIds& KnownSeedIds() noexcept;

[[nodiscard]] constexpr std::uint32_t IdOf(Word word) noexcept {
    return static_cast<std::uint32_t>(word);
}

}  // namespace vk::language
