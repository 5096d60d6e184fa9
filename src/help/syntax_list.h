#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "help/keyword_page.h"

namespace vk {

// The help topic index: the entries of the documentation's keyword page in
// page order, duplicates kept. Built once at start; a folder without a keyword
// page gives an empty index, which finds nothing.
//
// Lookups compare without regard to ASCII case. They go through a copy of the
// entry texts sorted case-folded, so that the syntax line, asked for on every
// caret move, costs a binary search instead of a pass over the whole index,
// and the first match is still the first in page order.
class TSyntaxList {
public:
    TSyntaxList() = default;
    explicit TSyntaxList(std::vector<HelpTopic> topics);

    // Reads `dir`/vbsalp2.htm; an empty index when it cannot be read.
    [[nodiscard]] static TSyntaxList FromFolder(const std::string& dir);

    [[nodiscard]] const std::vector<HelpTopic>& Topics() const { return topics_; }
    [[nodiscard]] std::size_t Count() const { return topics_.size(); }

    // The first entry, in page order, whose text begins with `prefix`.
    [[nodiscard]] std::optional<std::size_t> FirstStartingWith(std::string_view prefix) const;
    // Every entry whose text begins with `prefix`, in page order. The empty
    // prefix gives the whole index.
    [[nodiscard]] std::vector<std::size_t> AllStartingWith(std::string_view prefix) const;

    // The syntax line for the word at the caret: that of the first entry
    // whose text begins with the word and one blank ("abs" finds "Abs
    // Function", not "Absolute Value"). Nothing when no entry matches; an
    // empty text when the topic has no syntax line or cannot be read. Each
    // topic file is read once; its syntax line is kept for later moves.
    [[nodiscard]] std::optional<std::string> SyntaxLine(std::string_view word) const;

private:
    // [first, last) of sorted_ whose folded text begins with the folded prefix.
    [[nodiscard]] std::pair<std::size_t, std::size_t> Range(const std::string& folded) const;

    std::vector<HelpTopic> topics_;
    struct SortedEntry {
        std::string folded;  // the entry text, ASCII lower-cased
        std::size_t index;   // its place in topics_
    };
    std::vector<SortedEntry> sorted_;  // by folded text, then by index
    mutable std::unordered_map<std::size_t, std::string> syntaxCache_;  // topic index -> line
};

// The folder of the installed VBScript documentation: the string "InstallDir"
// of the key Software\Microsoft\vbsdoc in the local machine hive; empty when
// the key or the value is missing.
class Registry;
[[nodiscard]] std::string GetHelpInstallDir(Registry& registry);

// Where the documentation's installer records its folder.
inline constexpr std::string_view kHelpInstallKey = "Software\\Microsoft\\vbsdoc";
inline constexpr std::string_view kHelpInstallValue = "InstallDir";

}  // namespace vk
