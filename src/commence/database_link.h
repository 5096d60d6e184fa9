#pragma once

#include <string>
#include <string_view>

namespace vk {

class DdeConversation;
class Registry;

// The line that starts Commence for a database: the program path for the
// database's version, " /QUIET /DATABASE=" and the name, unquoted even when
// the path or the name holds blanks ("/opt/Commence/commence.exe /QUIET
// /DATABASE=Demo Sales"). A name that would not survive that (a quote, a tab,
// two blanks in a row, a blank at either end) is passed as one argument quoted
// as the Windows command line quotes it: "/DATABASE=Say \"Hi\"  There".
[[nodiscard]] std::string DatabaseLaunchCommandLine(Registry& registry, std::string_view database);

// The usual way to open a conversation with Commence for a database: sets the
// launch command line above and the link ("Commence", database), and opens
// it, starting Commence when it does not answer. True when it is open.
[[nodiscard]] bool OpenDatabaseLink(DdeConversation& conversation, Registry& registry,
                                    std::string_view database);

}  // namespace vk
