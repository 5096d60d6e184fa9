#include "folder_commands.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <set>
#include <system_error>

#include "cli_output.h"
#include "commence/check_in_recorder.h"
#include "commence/queries.h"
#include "commence/transfer.h"
#include "common/exceptions.h"
#include "common/file_bytes.h"
#include "common/status_sink.h"
#include "common/text_helpers.h"
#include "document/script_lines.h"
#include "platform/registry.h"
#include "progress.h"
#include "script_file_names.h"
#include "script_folder_paths.h"
#include "script_manifest.h"

namespace vk::cli {
namespace {

namespace fs = std::filesystem;

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

// A script file of the folder; nothing when there is none. Only a regular
// file inside the folder is read (see ScriptFolderPaths).
std::optional<std::string> ReadLocal(const ScriptFolderPaths& paths, const std::string& file) {
    const fs::path path = paths.Inside(file);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) return std::nullopt;
    return ReadScriptOrThrow(path.string(), true);
}

void WriteScriptFile(const ScriptFolderPaths& paths, const std::string& file,
                     std::string_view bytes) {
    const fs::path path = paths.Inside(file);
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (ec)
        throw Exception("Cannot create the folder " + path.parent_path().string() + ": " +
                        ec.message());
    std::string why;
    if (!WriteWholeFileAtomically(path, bytes, &why))
        throw Exception("Cannot write " + path.string() + ": " + why);
}

std::optional<Manifest> ReadFolderManifest(const ScriptFolderPaths& paths, const fs::path& folder) {
    (void)paths.Inside(std::string(kManifestName));
    return ReadManifest(folder);
}

void SaveManifest(const ScriptFolderPaths& paths, const fs::path& folder,
                  const Manifest& manifest) {
    (void)paths.Inside(std::string(kManifestName));
    WriteManifest(folder, manifest);
}

void PrintLine(Streams io, std::string_view what, std::string_view category,
               std::string_view form) {
    io.out << what << '\t' << io.Shown(category) << '\t' << io.Shown(form) << '\n';
}

// The folder's manifest, when it holds scripts of `database`; otherwise says
// why on `err`.
std::optional<Manifest> PulledManifest(const std::string& database, const ScriptFolderPaths& paths,
                                       const fs::path& folder, std::ostream& err) {
    auto manifest = ReadFolderManifest(paths, folder);
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

// Identical on both sides is unchanged, whatever the manifest recorded: a
// push stopped after its store, before it could record it, leaves exactly
// that, and it is no conflict.
State Compare(const ScriptPrint& pulled, const ScriptPrint& here, const ScriptPrint& there) {
    if (here == there) return State::Unchanged;
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
void AddUnlistedFiles(const ScriptFolderPaths& paths, const fs::path& folder,
                      const std::set<std::string>& claimed, std::vector<ScriptState>& states) {
    std::error_code ec;
    for (fs::directory_iterator dir(folder, ec), end; !ec && dir != end; dir.increment(ec)) {
        if (!dir->is_directory(ec)) continue;
        const std::string dirName = dir->path().filename().string();
        const auto category = DecodeName(dirName);
        if (!category) continue;
        std::vector<std::string> files;
        std::error_code inner;
        for (fs::directory_iterator it(paths.Inside(dirName), inner), stop; !inner && it != stop;
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
            states.push_back({State::NewHere, *category, *form, file, ReadLocal(paths, file)});
        }
    }
}

// Where each script stands: Commence's copy (checked out now), the folder's
// file and the manifest's record of the last pull or push. A script found
// the same on both sides gets that as its record (`manifest` changes, and
// `rebased` says so).
std::vector<ScriptState> Survey(Registry& registry, const std::string& database,
                                const ScriptFolderPaths& paths, const fs::path& folder,
                                Manifest& manifest, bool& rebased, Progress& progress) {
    const auto forms = ListRemoteForms(registry, database);
    progress.SetTotal(forms.size());
    NullStatusSink quiet;
    ScriptTransfer transfer(registry, quiet);
    std::vector<ScriptState> states;
    std::set<std::string> claimed;
    std::size_t step = 0;
    rebased = false;
    for (const RemoteForm& f : forms) {
        progress.Step(++step, f.category + '/' + f.form);
        const ManifestEntry* entry = manifest.Find(f.category, f.form);
        ScriptState s{State::MissingHere, f.category, f.form, entry ? entry->file : f.file,
                      std::nullopt};
        claimed.insert(s.file);
        s.local = ReadLocal(paths, s.file);
        if (entry && s.local) {
            const ScriptPrint here = PrintOf(*s.local);
            const ScriptPrint there = PrintOf(transfer.CheckOut({database, f.category, f.form}));
            s.state = Compare(entry->print, here, there);
            if (here == there && here != entry->print) {
                manifest.Set({f.category, f.form, s.file, here});
                rebased = true;
            }
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
            {State::GoneFromCommence, e.category, e.form, e.file, ReadLocal(paths, e.file)});
    }
    AddUnlistedFiles(paths, folder, claimed, states);
    return states;
}

}  // namespace

ExitCode Pull(const Invocation& call, Streams io) {
    Registry& registry = Registry::Instance();
    const std::string& database = call.operands.at(0);
    const fs::path folder(call.operands.at(1));
    const ScriptFolderPaths paths(folder);
    RequireKnown(registry, database);

    auto existing = ReadFolderManifest(paths, folder);
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
    if (!existing) SaveManifest(paths, folder, manifest);

    NullStatusSink quiet;
    ScriptTransfer transfer(registry, quiet);
    bool kept = false;
    std::size_t step = 0;
    for (const RemoteForm& f : forms) {
        progress.Step(++step, f.category + '/' + f.form);
        const ManifestEntry* entry = manifest.Find(f.category, f.form);
        const std::string file = entry ? entry->file : f.file;
        const std::string bytes = transfer.CheckOut({database, f.category, f.form});
        const auto local = ReadLocal(paths, file);
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
        WriteScriptFile(paths, file, bytes);
        manifest.Set({f.category, f.form, file, PrintOf(bytes)});
        SaveManifest(paths, folder, manifest);
    }
    return kept ? ExitCode::Conflict : ExitCode::Success;
}

ExitCode Status(const Invocation& call, Streams io) {
    Registry& registry = Registry::Instance();
    const std::string& database = call.operands.at(0);
    const fs::path folder(call.operands.at(1));
    const ScriptFolderPaths paths(folder);
    RequireKnown(registry, database);
    auto manifest = PulledManifest(database, paths, folder, io.err);
    if (!manifest) return ExitCode::BadArguments;

    std::vector<ScriptState> states;
    bool rebased = false;
    {
        Progress progress(io.err, "status", call.quiet);
        states = Survey(registry, database, paths, folder, *manifest, rebased, progress);
    }
    // What both sides agree on is recorded, so that a later change on one
    // side is not taken for a change on both. Only a record: a folder that
    // cannot be written still gets its status.
    if (rebased) {
        try {
            SaveManifest(paths, folder, *manifest);
        } catch (const Exception&) {
        }
    }
    bool differs = false;
    for (const ScriptState& s : states) {
        PrintLine(io, StateName(s.state), s.category, s.form);
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
    const ScriptFolderPaths paths(folder);
    RequireKnown(registry, database);
    auto manifest = PulledManifest(database, paths, folder, io.err);
    if (!manifest) return ExitCode::BadArguments;

    Progress progress(io.err, call.dryRun ? "push --dry-run" : "push", call.quiet);
    bool rebased = false;
    const auto states = Survey(registry, database, paths, folder, *manifest, rebased, progress);
    progress.Clear();
    if (rebased && !call.dryRun) SaveManifest(paths, folder, *manifest);

    const CheckInTags tags = TagsFromSettings(registry);
    NullStatusSink quiet;
    ScriptTransfer transfer(registry, quiet);
    bool conflict = false;
    bool refused = false;
    const auto reportConflict = [&](const ScriptState& s, std::string_view why) {
        PrintLine(io, "conflict", s.category, s.form);
        io.err << "vellumkit-cli: " << s.file << ": " << why << '\n';
        conflict = true;
    };
    constexpr std::string_view kChangedThere =
        "the script also changed in Commence since the pull; nothing stored (--force stores it)";
    for (const ScriptState& s : states) {
        const bool conflicting = s.state == State::ChangedInBoth || s.state == State::NewHere;
        if (s.state != State::ChangedHere && !conflicting) continue;
        const FormLocation location{database, s.category, s.form};
        const ManifestEntry* entry = manifest->Find(s.category, s.form);
        if (!call.force && (conflicting || !entry)) {
            reportConflict(s, entry ? kChangedThere
                                    : "the file was not pulled, and Commence's script was not "
                                      "seen; nothing stored (--force stores it)");
            continue;
        }
        if (call.dryRun) {
            // Commence's copy is looked at again, so that a change made there
            // since the survey is listed too.
            if (!call.force && ChangedSinceBase(entry->print, transfer.CheckOut(location)))
                reportConflict(s, kChangedThere);
            else
                PrintLine(io, "would store", s.category, s.form);
            continue;
        }
        // Stored only while Commence still holds what was pulled (compared
        // right before the store, or by the server in the same step), then
        // read back: another check-in around this one is never overwritten
        // unnoticed.
        CheckInGuard guard;
        if (!call.force) guard.basedOn = entry->print;
        guard.verify = true;
        MemoryScriptLines lines(*s.local);
        const CheckInResult result = transfer.CheckIn(location, lines, tags, guard);
        if (result.outcome == CheckInResult::Outcome::Unreachable) {
            io.out.flush();
            PrintMessage(io.err, result.message, io.errIsTerminal);
            return ExitCode::Unreachable;
        }
        if (result.outcome == CheckInResult::Outcome::Refused) {
            PrintLine(io, "refused", s.category, s.form);
            PrintMessage(io.err, result.message, io.errIsTerminal);
            refused = true;
            continue;
        }
        if (result.outcome == CheckInResult::Outcome::Changed) {
            // The folder keeps the user's version; the local history keeps
            // the one met in Commence, so that neither is lost.
            if (CheckInRecorder* recorder = InstalledCheckInRecorder();
                recorder != nullptr && result.commenceScript)
                recorder->Loaded(location, *result.commenceScript);
            reportConflict(s, result.replacedAfterStore
                                  ? "another check-in replaced the script in Commence right after "
                                    "it was stored; Commence holds that one now (--force stores "
                                    "this one again)"
                                  : kChangedThere);
            continue;
        }
        // The file and its record become what Commence now holds, tag lines
        // included, so the next status finds the script unchanged.
        const std::string& stored = *result.commenceScript;
        WriteScriptFile(paths, s.file, stored);
        manifest->Set({s.category, s.form, s.file, PrintOf(stored)});
        SaveManifest(paths, folder, *manifest);
        PrintLine(io, "stored", s.category, s.form);
    }
    io.out.flush();
    if (!io.out) throw Exception("Cannot write to standard output");
    if (conflict) return ExitCode::Conflict;
    return refused ? ExitCode::Refused : ExitCode::Success;
}

}  // namespace vk::cli
