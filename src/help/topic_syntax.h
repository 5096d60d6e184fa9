#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vk {

// A documentation page larger than this is not read: it is no page of ours,
// and a device file such as /dev/zero would never end.
inline constexpr std::size_t kMaxHelpPageBytes = 16u << 20;

// The syntax line of a topic page: the first line after the line
// "<H5>Syntax</H5>" (exactly that) that is neither empty nor "<BLOCKQUOTE>",
// with its tags taken out and surrounding blanks trimmed. Only the text
// before each tag is kept, so text after the last tag is dropped and a "<"
// with no ">" after it ends the line there. Character references such as
// "&amp;" are left as they stand. Empty when the page has no such line.
//
//   "<B>Abs</B>(<I>number</I>)</P>"  gives  "Abs(number)"
[[nodiscard]] std::string ExtractSyntax(std::string_view page);

// ExtractSyntax of the topic file at `path`; empty when it cannot be read.
[[nodiscard]] std::string GetSyntax(const std::string& path);

}  // namespace vk
