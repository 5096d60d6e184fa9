#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vk::win32 {

// What answers a request for an item: the CF_TEXT reply, or nothing to refuse.
using DirectAnswer = std::function<std::optional<std::string>(std::string_view item)>;

// Answers the WM_DDE_REQUEST messages that reach `window` (a DDEML server
// conversation's window of this thread) itself, with data the receiver frees,
// and hands every other message on to DDEML. Under Wine, DDEML's own answer
// leaves a global handle of the server behind for each request (Wine copies
// the data for the receiver and nobody frees the original), so a server that
// answers for long would run out of handles. Undone when the window goes.
void AnswerRequestsDirectly(HWND window, DirectAnswer answer);

}  // namespace vk::win32
