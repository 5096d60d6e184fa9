#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk::cli {

// Category and form names as file names of a script folder, and back.
//
// Names are Windows-1252 bytes. A name's file name keeps its ASCII letters,
// digits, blanks and the marks  - _ . , ( ) & + ' ! # $ @ = ; [ ] { }  and
// writes every other byte as %XX (two uppercase hexadecimal digits): path
// separators, the characters a Windows file system refuses (< > : " | ? *),
// control characters, %, ~ and every byte above 127, so the file name is
// plain ASCII. A leading blank or dot and a trailing blank or dot are
// written as %XX too ("." and ".." become "%2E" and "%2E%2E", nothing
// hides), and so is the first letter of a device name Windows reserves
// (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9, LPT0-9, in any case, also
// before a dot or blanks):
// "Con" becomes "%43on".
//
// Two names of one folder that differ only in case would be one file on a
// file system that ignores case; each of them gets "~" and the case of its
// letters appended as hexadecimal digits (a bit per letter, 1 for upper
// case; each digit holds four letters, the first letter in its lowest bit,
// and digits that are 0 at the end are left out): "Notes" and "NOTES" become
// "Notes~1" and "NOTES~f1", "notes" becomes "notes~0". A "~" is otherwise always written as %7E, so
// the suffix is told apart when reading a file name back.
//
// An empty name has no file name (an empty string).
[[nodiscard]] std::string EncodeName(std::string_view name);

// The file names of `names`, in their order: EncodeName, with the case suffix
// for every name that has a case twin among them.
[[nodiscard]] std::vector<std::string> EncodeNames(const std::vector<std::string>& names);

// The name a file name stands for; nothing when it is not one EncodeName or
// EncodeNames makes (a bad escape, a character that would have been escaped).
[[nodiscard]] std::optional<std::string> DecodeName(std::string_view fileName);

}  // namespace vk::cli
