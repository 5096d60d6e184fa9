#include "fields_command.h"

#include <nlohmann/json.hpp>
#include <ostream>

#include "commence/field_list.h"
#include "commence/queries.h"
#include "common/exceptions.h"
#include "common/windows_1252.h"
#include "filters/filter_pages.h"
#include "platform/registry.h"

namespace vk::cli {

std::string_view FieldKindName(int kind) noexcept {
    switch (kind) {
        case 0:
            return "Text";
        case 1:
            return "Number";
        case 2:
            return "Date";
        case 3:
            return "Telephone";
        case 4:
            return "Checkbox";
        case 5:
            return "Name";
        case 6:
            return "Data file";
        case 7:
            return "Image";
        case 8:
            return "Time";
        case 9:
            return "Excel cell";
        case 10:
            return "Calculation";
        case 11:
            return "Sequence";
        case 12:
            return "Selection";
        case 13:
            return "E-mail";
        case 14:
            return "URL";
        case 15:
            return "Multiple selection";
        default:
            return "Unknown";
    }
}

ExitCode ListFields(const Invocation& call, Streams io) {
    const std::string& database = call.operands.at(0);
    const std::string& category = call.operands.at(1);
    RequireKnown(Registry::Instance(), database, category);
    std::vector<FieldListEntry> entries;
    LoadFieldsAndConnections(database, category, entries);

    nlohmann::ordered_json fields = nlohmann::ordered_json::array();
    nlohmann::ordered_json connections = nlohmann::ordered_json::array();
    for (const FieldListEntry& entry : entries) {
        // The connection's name and category are cut apart by the tag, as
        // both may hold blanks.
        const bool connection = entry.tag < 0;
        const std::string name(connection ? ConnectionNameOf(entry) : std::string_view(entry.text));
        const std::string target(CategoryPartOf(entry.text, entry.tag));
        if (call.json && connection) {
            connections.push_back(
                {{"name", Windows1252ToUtf8(name)}, {"category", Windows1252ToUtf8(target)}});
        } else if (call.json) {
            fields.push_back({{"name", Windows1252ToUtf8(name)},
                              {"kind", FieldKindName(entry.tag)},
                              {"code", entry.tag}});
        } else if (connection) {
            io.out << "connection\t" << io.Shown(name) << '\t' << io.Shown(target) << '\n';
        } else {
            io.out << "field\t" << io.Shown(name) << '\t' << FieldKindName(entry.tag) << '\t'
                   << entry.tag << '\n';
        }
    }
    if (call.json)
        io.out << nlohmann::ordered_json{{"fields", fields}, {"connections", connections}}.dump()
               << '\n';
    io.out.flush();
    if (!io.out) throw Exception("Cannot write the fields to standard output");
    return ExitCode::Success;
}

}  // namespace vk::cli
