#include "commands.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli_output.h"
#include "commence/database_directory.h"
#include "commence/queries.h"
#include "commence/transfer.h"
#include "common/exceptions.h"
#include "common/file_bytes.h"
#include "common/script_limits.h"
#include "common/text_helpers.h"
#include "common/windows_1252.h"
#include "document/script_checksum.h"
#include "document/script_lines.h"
#include "highlight/class_fonts.h"
#include "highlight/color_stream.h"
#include "platform/registry.h"
#include "settings/settings.h"

namespace vk::cli {
namespace {

// Written beside and renamed into place: an interrupted command leaves the
// previous content whole.
void WriteWholeFile(const std::string& path, std::string_view bytes) {
    std::string why;
    if (!WriteWholeFileAtomically(path, bytes, &why))
        throw Exception("Cannot write " + path + ": " + why);
}

// Commence, like the registry it lists databases in, takes names in any case.
bool Lists(const std::vector<std::string>& names, std::string_view wanted) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
        return EqualsIgnoringAsciiCase(name, wanted);
    });
}

FormLocation LocationOf(const Invocation& call) {
    return {call.operands.at(0), call.operands.at(1), call.operands.at(2)};
}

}  // namespace

// Checked before anything is read or written for the names: a database
// missing from the registry would otherwise show as "not ready", a wrong
// category or form as an empty list or an empty script.
void RequireKnown(Registry& registry, std::string_view database,
                  std::optional<std::string_view> category, std::optional<std::string_view> form) {
    if (!Lists(DatabaseNames(registry), database))
        throw EMissingDBItem("The database \"" + std::string(database) + "\" is not registered");
    if (!category) return;
    if (!Lists(LoadCategoryNames(registry, database), *category))
        throw EInvalidCategory("The category \"" + std::string(*category) + "\" is invalid");
    if (!form) return;
    const auto forms = LoadFormNames(registry, database, *category);
    if (!forms) throw EDBNotReady("The database " + std::string(database) + " is not ready");
    if (!Lists(*forms, *form))
        throw EMissingDBItem("The detail form \"" + std::string(*form) + "\" is invalid");
}

std::string Streams::Shown(std::string_view name) const {
    return outIsTerminal ? ForTerminal(name) : std::string(name);
}

void PrintNameList(Streams io, const std::vector<std::string>& names, bool json) {
    if (!json) {
        for (const auto& name : names) io.out << io.Shown(name) << '\n';
        return;
    }
    // JSON text is UTF-8 with its own escapes for control characters;
    // Commence's names are Windows-1252.
    nlohmann::json list = nlohmann::json::array();
    for (const auto& name : names) list.push_back(Windows1252ToUtf8(name));
    io.out << list.dump() << '\n';
}

std::string ReadScriptOrThrow(const std::string& path, bool regularOnly) {
    std::string error;
    std::optional<std::string> bytes = regularOnly ? ReadRegularFile(path, &error, kMaxScriptBytes)
                                                   : ReadWholeFile(path, &error, kMaxScriptBytes);
    if (!bytes && error.rfind("larger than", 0) == 0)
        throw Exception("Cannot read " + path + ": it is " + ScriptLimitText());
    if (!bytes) throw Exception("Cannot read " + path + ": " + error);
    return std::move(*bytes);
}

CheckInTags TagsFromSettings(Registry& registry) {
    const TSettings settings(registry);
    const MachineNames names = ReadMachineNames();
    return {{settings.applyTimeTag, settings.applyIdTag, settings.applyChecksumTag},
            names.computerName,
            names.userName};
}

ExitCode ListDatabases(const Invocation& call, Streams io) {
    PrintNameList(io, DatabaseNames(Registry::Instance()), call.json);
    return ExitCode::Success;
}

ExitCode ListCategories(const Invocation& call, Streams io) {
    RequireKnown(Registry::Instance(), call.operands.at(0));
    PrintNameList(io, LoadCategoryNames(Registry::Instance(), call.operands.at(0)), call.json);
    return ExitCode::Success;
}

ExitCode ListForms(const Invocation& call, Streams io) {
    const std::string& database = call.operands.at(0);
    RequireKnown(Registry::Instance(), database, call.operands.at(1));
    const auto forms = LoadFormNames(Registry::Instance(), database, call.operands.at(1));
    if (!forms) throw EDBNotReady("The database " + database + " is not ready");
    PrintNameList(io, *forms, call.json);
    return ExitCode::Success;
}

ExitCode CheckOut(const Invocation& call, Streams io) {
    NullStatusSink quiet;
    const FormLocation location = LocationOf(call);
    RequireKnown(Registry::Instance(), location.database, location.category, location.form);
    const std::string script = ScriptTransfer(Registry::Instance(), quiet).CheckOut(location);
    if (call.output) {
        WriteWholeFile(*call.output, script);
    } else {
        io.out.write(script.data(), static_cast<std::streamsize>(script.size()));
        io.out.flush();
        if (!io.out) throw Exception("Cannot write the script to standard output");
    }
    return ExitCode::Success;
}

ExitCode CheckIn(const Invocation& call, Streams io) {
    Registry& registry = Registry::Instance();
    const FormLocation location = LocationOf(call);
    MemoryScriptLines lines(ReadScriptOrThrow(call.operands.at(3)));

    const CheckInTags tags = TagsFromSettings(registry);

    StreamStatus status(io.err);
    const CheckInResult result = ScriptTransfer(registry, status).CheckIn(location, lines, tags);
    switch (result.outcome) {
        case CheckInResult::Outcome::Stored:
            return ExitCode::Success;
        case CheckInResult::Outcome::Refused:
            PrintMessage(io.err, result.message, io.errIsTerminal);
            return ExitCode::Refused;
        case CheckInResult::Outcome::Unreachable:
            PrintMessage(io.err, result.message, io.errIsTerminal);
            return ExitCode::Unreachable;
        case CheckInResult::Outcome::Changed:  // only a guarded check-in
            PrintMessage(io.err, result.message, io.errIsTerminal);
            return ExitCode::Conflict;
    }
    return ExitCode::Failure;
}

ExitCode PrintChecksum(const Invocation& call, Streams io) {
    const std::string text = ReadScriptOrThrow(call.operands.at(0));
    io.out << FormatChecksum(ScriptChecksum(JoinScriptLines(SplitScriptText(text)))) << '\n';
    return ExitCode::Success;
}

ExitCode PrintColouredRtf(const Invocation& call, Streams io) {
    TColorStream stream(LoadClassFonts(Registry::Instance()));
    stream.LoadText(ReadScriptOrThrow(call.operands.at(0)));
    stream.ConvertToRtf();
    io.out.write(stream.Data().data(), static_cast<std::streamsize>(stream.Size()));
    io.out.flush();
    if (!io.out) throw Exception("Cannot write the document to standard output");
    return ExitCode::Success;
}

}  // namespace vk::cli
