#pragma once

#include <string>
#include <string_view>

namespace vk {

// The first sentence of a topic page: the text of the first paragraph
// (<P>...</P>) after the page's title heading (<H3>), tags taken out,
// the common character references (&amp; &lt; &gt; &quot; &nbsp;) turned back
// into their characters, blanks folded, cut after the first full stop that
// ends a sentence. Empty when the page has no such paragraph.
//
//   "<H3>Mid Function</H3>\n<P>Gives a part of a string.</P>"  gives
//   "Gives a part of a string."
[[nodiscard]] std::string ExtractSummary(std::string_view page);

}  // namespace vk
