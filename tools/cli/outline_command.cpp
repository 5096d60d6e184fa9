#include "outline_command.h"

#include <ostream>

#include "browser/script_scanner.h"
#include "common/exceptions.h"
#include "editor/line_model.h"

namespace vk::cli {

ExitCode PrintOutline(const Invocation& call, Streams io) {
    // Held to the size any script may have, as every command on a script
    // file is: an endless device must not run the machine out of memory.
    const std::string bytes = ReadScriptOrThrow(call.operands.at(0));

    // The editor holds a script as lines ending in CR LF, whatever the file
    // used, so offsets and line numbers come out as the editor shows them.
    const std::string text = CanonicalText(bytes);
    const ScanReport report = ParseScript(text);

    std::size_t counted = 0;
    int line = 1;
    for (const ScanEntry& entry : report.entries) {
        // Entries come in text order, so the line count only moves forward.
        for (const auto offset = static_cast<std::size_t>(entry.offset); counted < offset;
             ++counted)
            if (text[counted] == '\n') ++line;
        io.out << KindName(entry.kind) << '\t' << entry.name << '\t' << line << '\t'
               << StateName(entry.state) << '\n';
    }
    for (const std::string& warning : report.warnings) io.out << "warning\t" << warning << '\n';
    for (const std::string& message : report.messages) io.out << "status\t" << message << '\n';
    io.out.flush();
    if (!io.out) throw Exception("Cannot write the outline to standard output");
    return ExitCode::Success;
}

}  // namespace vk::cli
