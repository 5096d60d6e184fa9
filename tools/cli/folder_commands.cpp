#include "folder_commands.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <set>
#include <system_error>

#include "cli_output.h"
#include "commence/queries.h"
#include "commence/transfer.h"
#include "common/exceptions.h"
#include "common/file_bytes.h"
#include "common/status_sink.h"
#include "common/text_helpers.h"
#include "document/script_lines.h"
#include "history/script_base.h"
#include "platform/registry.h"
#include "progress.h"
#include "script_file_names.h"
#include "script_manifest.h"

namespace vk::cli {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kScriptExtension = ".vbs";

// A form of the database and the file a fresh pull gives it.
struct RemoteForm {
    std::string category;
    std::string form;
    std::string file;  // relative, '/' between folder and file
};

enum class State {
    Unchanged,
    ChangedHere,
    ChangedInCommence,
    ChangedInBoth,
    NewHere,
    GoneFromCommence,
    MissingHere,
};

constexpr std::string_view StateName(State state) noexcept {
    switch (state) {
        case State::Unchanged:
            return "unchanged";
        case State::ChangedHere:
            return "changed here";
        case State::ChangedInCommence:
            return "changed in Commence";
        case State::ChangedInBoth:
            return "changed in both";
        case State::NewHere:
            return "new here";
        case State::GoneFromCommence:
            return "gone from Commence";
        case State::MissingHere:
            return "missing here";
    }
    return "unknown";
}

struct ScriptState {
    State state = State::Unchanged;
    std::string category;
    std::string form;
    std::string file;
    std::optional<std::string> local;  // the file's bytes, when it exists
};

// Names without the empty one a reply ending in CR LF gives, each once.
std::vector<std::string> UsableNames(const std::vector<std::string>& names) {
    std::vector<std::string> usable;
    for (const auto& name : names)
        if (!name.empty() && std::find(usable.begin(), usable.end(), name) == usable.end())
            usable.push_back(name);
    return usable;
}

// Every form of the database, in Commence's order.
std::vector<RemoteForm> ListRemoteForms(Registry& registry, const std::string& database) {
    const auto categories = UsableNames(LoadCategoryNames(registry, database));
    const auto categoryFiles = EncodeNames(categories);
    std::vector<RemoteForm> forms;
    for (std::size_t i = 0; i < categories.size(); ++i) {
        const auto names = LoadFormNames(registry, database, categories[i]);
        if (!names) throw EDBNotReady("The database " + database + " is not ready");
        const auto usable = UsableNames(*names);
        const auto files = EncodeNames(usable);
        for (std::size_t j = 0; j < usable.size(); ++j)
            forms.push_back({categories[i], usable[j],
                             categoryFiles[i] + '/' + files[j] + std::string(kScriptExtension)});
    }
    return forms;
}

// A script file of the folder; nothing when there is none.
std::optional<std::string> ReadLocal(const fs::path& path) {
    std::error_code ec;
    if (!fs::exists(path, ec) && !ec) return std::nullopt;
    return ReadScriptOrThrow(path.string());
}

void WriteScriptFile(const fs::path& path, std::string_view bytes) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (ec)
        throw Exception("Cannot create the folder " + path.parent_path().string() + ": " +
                        ec.message());
    std::string why;
    if (!WriteWholeFileAtomically(path, bytes, &why))
        throw Exception("Cannot write " + path.string() + ": " + why);
}

void PrintLine(std::ostream& out, std::string_view what, std::string_view category,
               std::string_view form) {
    out << what << '\t' << category << '\t' << form << '\n';
}

// The folder's manifest, when it holds scripts of `database`; otherwise says
// why on `err`.
std::optional<Manifest> PulledManifest(const std::string& database, const fs::path& folder,
                                       std::ostream& err) {
    auto manifest = ReadManifest(folder);
    if (!manifest) {
        err << "vellumkit-cli: " << folder.string() << " holds no pulled scripts (no "
            << kManifestName << "); pull them first\n";
        return std::nullopt;
    }
    if (!EqualsIgnoringAsciiCase(manifest->database, database)) {
        err << "vellumkit-cli: " << folder.string() << " holds the scripts of database \""
            << manifest->database << "\", not \"" << database << "\"\n";
        return std::nullopt;
    }
    return manifest;
}

State Compare(const ScriptPrint& pulled, const ScriptPrint& here, const ScriptPrint& there) {
    const bool changedHere = here != pulled;
    const bool changedThere = there != pulled;
    if (changedHere && changedThere) return State::ChangedInBoth;
    if (changedHere) return State::ChangedHere;
    if (changedThere) return State::ChangedInCommence;
    return State::Unchanged;
}

// Script files of the folder no manifest entry and no form of Commence
// accounts for, read back to their names. Files whose names no category or
// form maps to are not scripts of the folder and are left out.
void AddUnlistedFiles(const fs::path& folder, const std::set<std::string>& claimed,
                      std::vector<ScriptState>& states) {
    std::error_code ec;
    for (fs::directory_iterator dir(folder, ec), end; !ec && dir != end; dir.increment(ec)) {
        if (!dir->is_directory(ec)) continue;
        const std::string dirName = dir->path().filename().string();
        const auto category = DecodeName(dirName);
        if (!category) continue;
        std::vector<std::string> files;
        std::error_code inner;
        for (fs::directory_iterator it(dir->path(), inner), stop; !inner && it != stop;
             it.increment(inner)) {
            if (it->is_regular_file(inner)) files.push_back(it->path().filename().string());
        }
        std::sort(files.begin(), files.end());
        for (const std::string& name : files) {
            if (!name.ends_with(kScriptExtension)) continue;
            const std::string file = dirName + '/' + name;
            if (claimed.contains(file)) continue;
            const auto form =
                DecodeName(std::string_view(name).substr(0, name.size() - kScriptExtension.size()));
            if (!form) continue;
            states.push_back({State::NewHere, *category, *form, file, ReadLocal(folder / file)});
        }
    }
}

// Where each script stands: Commence's copy (checked out now), the folder's
// file and the manifest's record of the last pull or push.
std::vector<ScriptState> Survey(Registry& registry, const std::string& database,
                                const fs::path& folder, const Manifest& manifest,
                                Progress& progress) {
    const auto forms = ListRemoteForms(registry, database);
    progress.SetTotal(forms.size());
    NullStatusSink quiet;
    ScriptTransfer transfer(registry, quiet);
    std::vector<ScriptState> states;
    std::set<std::string> claimed;
    std::size_t step = 0;
    for (const RemoteForm& f : forms) {
        progress.Step(++step, f.category + '/' + f.form);
        const ManifestEntry* entry = manifest.Find(f.category, f.form);
        ScriptState s{State::MissingHere, f.category, f.form, entry ? entry->file : f.file,
                      std::nullopt};
        claimed.insert(s.file);
        s.local = ReadLocal(folder / s.file);
        if (entry && s.local) {
            const std::string remote = transfer.CheckOut({database, f.category, f.form});
            s.state = Compare(entry->print, PrintOf(*s.local), PrintOf(remote));
        } else if (s.local) {
            s.state = State::NewHere;
        }
        states.push_back(std::move(s));
    }
    for (const ManifestEntry& e : manifest.entries) {
        const bool listed = std::any_of(forms.begin(), forms.end(), [&](const RemoteForm& f) {
            return f.category == e.category && f.form == e.form;
        });
        if (listed) continue;
        claimed.insert(e.file);
        states.push_back(
            {State::GoneFromCommence, e.category, e.form, e.file, ReadLocal(folder / e.file)});
    }
    AddUnlistedFiles(folder, claimed, states);
    return states;
}

}  // namespace

ExitCode Pull(const Invocation& call, Streams io) {
    Registry& registry = Registry::Instance();
    const std::string& database = call.operands.at(0);
    const fs::path folder(call.operands.at(1));
    RequireKnown(registry, database);

    auto existing = ReadManifest(folder);
    if (existing && !EqualsIgnoringAsciiCase(existing->database, database)) {
        io.err << "vellumkit-cli: " << folder.string() << " holds the scripts of database \""
               << existing->database << "\", not \"" << database << "\"\n";
        return ExitCode::BadArguments;
    }
    Manifest manifest = existing.value_or(Manifest{database, {}});
    Progress progress(io.err, "pull", call.quiet);
    const auto forms = ListRemoteForms(registry, database);
    progress.SetTotal(forms.size());

    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) throw Exception("Cannot create the folder " + folder.string() + ": " + ec.message());
    // The folder is a pulled one from the start, even before its first script.
    if (!existing) WriteManifest(folder, manifest);

    NullStatusSink quiet;
    ScriptTransfer transfer(registry, quiet);
    bool kept = false;
    std::size_t step = 0;
    for (const RemoteForm& f : forms) {
        progress.Step(++step, f.category + '/' + f.form);
        const ManifestEntry* entry = manifest.Find(f.category, f.form);
        const std::string file = entry ? entry->file : f.file;
        const std::string bytes = transfer.CheckOut({database, f.category, f.form});
        const auto local = ReadLocal(folder / file);
        const bool changedHere =
            local && *local != bytes && (!entry || PrintOf(*local) != entry->print);
        if (changedHere && !call.force) {
            progress.Clear();
            io.err << "vellumkit-cli: kept " << file
                   << ": it changed here since the pull (--force overwrites it)\n";
            kept = true;
            continue;
        }
        // The file first, then its record: a pull stopped in between leaves a
        // file the manifest does not list yet, never a record of a file that
        // was not written.
        WriteScriptFile(folder / file, bytes);
        manifest.Set({f.category, f.form, file, PrintOf(bytes)});
        WriteManifest(folder, manifest);
    }
    return kept ? ExitCode::Conflict : ExitCode::Success;
}

ExitCode Status(const Invocation& call, Streams io) {
    Registry& registry = Registry::Instance();
    const std::string& database = call.operands.at(0);
    const fs::path folder(call.operands.at(1));
    RequireKnown(registry, database);
    const auto manifest = PulledManifest(database, folder, io.err);
    if (!manifest) return ExitCode::BadArguments;

    std::vector<ScriptState> states;
    {
        Progress progress(io.err, "status", call.quiet);
        states = Survey(registry, database, folder, *manifest, progress);
    }
    bool differs = false;
    for (const ScriptState& s : states) {
        PrintLine(io.out, StateName(s.state), s.category, s.form);
        differs = differs || s.state != State::Unchanged;
    }
    io.out.flush();
    if (!io.out) throw Exception("Cannot write the status to standard output");
    return differs ? ExitCode::Differences : ExitCode::Success;
}

ExitCode Push(const Invocation& call, Streams io) {
    Registry& registry = Registry::Instance();
    const std::string& database = call.operands.at(0);
    const fs::path folder(call.operands.at(1));
    RequireKnown(registry, database);
    auto manifest = PulledManifest(database, folder, io.err);
    if (!manifest) return ExitCode::BadArguments;

    Progress progress(io.err, call.dryRun ? "push --dry-run" : "push", call.quiet);
    const auto states = Survey(registry, database, folder, *manifest, progress);
    progress.Clear();

    const CheckInTags tags = TagsFromSettings(registry);
    NullStatusSink quiet;
    ScriptTransfer transfer(registry, quiet);
    bool conflict = false;
    bool refused = false;
    for (const ScriptState& s : states) {
        const bool conflicting = s.state == State::ChangedInBoth || s.state == State::NewHere;
        if (s.state != State::ChangedHere && !conflicting) continue;
        const FormLocation location{database, s.category, s.form};
        const ManifestEntry* entry = manifest->Find(s.category, s.form);
        // Commence's copy is looked at again just before storing, so a change
        // made there since the survey is not overwritten either.
        if (!call.force && (conflicting || !entry ||
                            ChangedSinceBase(entry->print, transfer.CheckOut(location)))) {
            PrintLine(io.out, "conflict", s.category, s.form);
            io.err << "vellumkit-cli: " << s.file
                   << (entry ? ": the script also changed in Commence since the pull"
                             : ": the file was not pulled, and Commence's script was not seen")
                   << "; nothing stored (--force stores it)\n";
            conflict = true;
            continue;
        }
        if (call.dryRun) {
            PrintLine(io.out, "would store", s.category, s.form);
            continue;
        }
        MemoryScriptLines lines(*s.local);
        const CheckInResult result = transfer.CheckIn(location, lines, tags);
        if (result.outcome == CheckInResult::Outcome::Unreachable) {
            io.out.flush();
            PrintMessage(io.err, result.message);
            return ExitCode::Unreachable;
        }
        if (result.outcome == CheckInResult::Outcome::Refused) {
            PrintLine(io.out, "refused", s.category, s.form);
            PrintMessage(io.err, result.message);
            refused = true;
            continue;
        }
        // The file and its record become what Commence now holds, tag lines
        // included, so the next status finds the script unchanged.
        const std::string stored = transfer.CheckOut(location);
        WriteScriptFile(folder / s.file, stored);
        manifest->Set({s.category, s.form, s.file, PrintOf(stored)});
        WriteManifest(folder, *manifest);
        PrintLine(io.out, "stored", s.category, s.form);
    }
    io.out.flush();
    if (!io.out) throw Exception("Cannot write to standard output");
    if (conflict) return ExitCode::Conflict;
    return refused ? ExitCode::Refused : ExitCode::Success;
}

}  // namespace vk::cli
