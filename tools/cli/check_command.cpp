#include "check_command.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "commence/script_name_check.h"
#include "common/exceptions.h"
#include "common/windows_1252.h"
#include "language/script_check.h"
#include "platform/registry.h"
#include "registry_check.h"
#include "script_manifest.h"

namespace vk::cli {
namespace {

namespace fs = std::filesystem;
using language::Diagnostic;

struct Options {
    std::optional<std::string> database;
    std::optional<std::string> category;
    bool json = false;
    bool strict = false;
    std::vector<std::string> paths;
};

// One script to check and where its names live, when they are checked.
struct Target {
    std::string file;  // as printed
    std::optional<std::string> database;
    std::optional<std::string> category;
};

// File names are UTF-8 on most systems; one that is not is taken as
// Windows-1252, the ANSI code page the program works in.
std::string PathAsUtf8(const std::string& path) {
    std::size_t i = 0;
    while (i < path.size()) {
        const auto c = static_cast<unsigned char>(path[i]);
        const std::size_t length = c < 0x80           ? 1
                                   : (c >> 5) == 0x6  ? 2
                                   : (c >> 4) == 0xE  ? 3
                                   : (c >> 3) == 0x1E ? 4
                                                      : 0;
        if (length == 0 || i + length > path.size()) return Windows1252ToUtf8(path);
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(path[i + k]) & 0xC0) != 0x80)
                return Windows1252ToUtf8(path);
        i += length;
    }
    return path;
}

ExitCode BadArguments(std::ostream& err, std::string_view problem) {
    err << "vellumkit-cli: " << problem << "\nTry 'vellumkit-cli check --help'.\n";
    return ExitCode::BadArguments;
}

// The options, or the problem with them.
std::optional<std::string> ParseOptions(const std::vector<std::string>& args, Options& options) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&](std::optional<std::string>& into) -> std::optional<std::string> {
            if (into) return arg + " given twice";
            if (i + 1 >= args.size()) return arg + " needs a value";
            into = args[++i];
            return std::nullopt;
        };
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.paths.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--database") {
            if (auto problem = value(options.database)) return problem;
        } else if (arg == "--category") {
            if (auto problem = value(options.category)) return problem;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--strict") {
            options.strict = true;
        } else {
            return "unknown option '" + arg + "'";
        }
    }
    if (options.paths.empty()) return std::string("'check' takes at least one FILE");
    if (options.database.has_value() != options.category.has_value())
        return std::string("--database and --category go together");
    return std::nullopt;
}

bool IsScriptFile(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".vbs";
}

// A folder's scripts: those its manifest lists, with their database and
// category, then every other .vbs file in it, in name order.
std::vector<Target> FolderTargets(const fs::path& folder) {
    std::vector<Target> targets;
    std::set<fs::path> listed;
    if (const std::optional<Manifest> manifest = ReadManifest(folder)) {
        for (const ManifestEntry& entry : manifest->entries) {
            // The manifest writes / between parts; shown as the system writes paths.
            const fs::path file = folder / fs::path(entry.file).make_preferred();
            listed.insert(file.lexically_normal());
            targets.push_back({file.string(), manifest->database, entry.category});
        }
    }
    std::vector<fs::path> others;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec) && IsScriptFile(it->path()) &&
            !listed.count(it->path().lexically_normal()))
            others.push_back(it->path());
    if (ec) throw Exception("Cannot list " + folder.string() + ": " + ec.message());
    std::sort(others.begin(), others.end());
    for (const fs::path& file : others) targets.push_back({file.string(), {}, {}});
    return targets;
}

// How a run went beyond the problems it printed.
struct Outcome {
    std::size_t files = 0;
    std::size_t errors = 0;
    std::size_t warnings = 0;
    bool unreadable = false;
    bool unreachable = false;  // names not checked: Commence did not answer
    bool refused = false;      // names not checked: no such database or category
};

class Checker {
public:
    Checker(const Options& options, Streams io) : options_(options), io_(io) {}

    void Check(const Target& target) {
        std::string bytes;
        try {
            bytes = ReadScriptOrThrow(target.file);
        } catch (const Exception& e) {
            io_.err << "vellumkit-cli: " << e.what() << '\n';
            outcome_.unreadable = true;
            return;
        }
        ++outcome_.files;
        std::vector<Diagnostic> problems = language::CheckScript(bytes).diagnostics;
        if (target.database) {
            std::vector<Diagnostic> names = CheckNames(*target.database, *target.category, bytes);
            problems.insert(problems.end(), std::make_move_iterator(names.begin()),
                            std::make_move_iterator(names.end()));
            std::stable_sort(problems.begin(), problems.end(),
                             [](const Diagnostic& a, const Diagnostic& b) {
                                 return a.range.offset < b.range.offset;
                             });
        }
        for (const Diagnostic& problem : problems) Print(target.file, problem);
    }

    void Finish() {
        if (options_.json) io_.out << json_.dump() << '\n';
        io_.out.flush();
        io_.err << outcome_.errors << (outcome_.errors == 1 ? " error, " : " errors, ")
                << outcome_.warnings << (outcome_.warnings == 1 ? " warning" : " warnings")
                << " in " << outcome_.files << (outcome_.files == 1 ? " file\n" : " files\n");
    }

    [[nodiscard]] const Outcome& Result() const { return outcome_; }

private:
    // The names of a script, once Commence has been found to answer for
    // its database and to have its category; after that fails once, the
    // database's names are skipped with a message.
    std::vector<Diagnostic> CheckNames(const std::string& database, const std::string& category,
                                       std::string_view bytes) {
        if (skipped_.count(database) || skipped_.count(database + '\n' + category)) return {};
        try {
            if (known_.insert(database + '\n' + category).second)
                RequireKnown(Registry::Instance(), database, category);
            return CheckScriptNames(database, category, bytes);
        } catch (const EMissingDBItem& e) {
            io_.err << "vellumkit-cli: " << e.what() << "; its names are not checked\n";
            skipped_.insert(database + '\n' + category);
            outcome_.refused = true;
        } catch (const EDDEFailed& e) {
            io_.err << "vellumkit-cli: " << e.what() << " (database \"" << database
                    << "\"); its names are not checked\n";
            skipped_.insert(database);
            outcome_.unreachable = true;
        }
        return {};
    }

    void Print(const std::string& file, const Diagnostic& problem) {
        (problem.severity == language::Severity::Error ? outcome_.errors : outcome_.warnings)++;
        if (options_.json) {
            json_.push_back({{"file", PathAsUtf8(file)},
                             {"line", problem.position.line},
                             {"column", problem.position.column},
                             {"length", problem.range.length},
                             {"severity", language::SeverityName(problem.severity)},
                             {"code", language::DiagnosticCodeName(problem.code)},
                             {"message", Windows1252ToUtf8(problem.message)}});
            return;
        }
        io_.out << file << ':' << problem.position.line << ':' << problem.position.column << ": "
                << language::SeverityName(problem.severity) << ": " << problem.message << '\n';
    }

    const Options& options_;
    Streams io_;
    Outcome outcome_;
    nlohmann::json json_ = nlohmann::json::array();
    std::set<std::string> known_;
    std::set<std::string> skipped_;
};

}  // namespace

ExitCode CheckScripts(const Invocation& call, Streams io) {
    Options options;
    if (const auto problem = ParseOptions(call.operands, options))
        return BadArguments(io.err, *problem);

    std::vector<Target> targets;
    for (const std::string& path : options.paths) {
        std::error_code ec;
        if (fs::is_directory(path, ec)) {
            std::vector<Target> found = FolderTargets(path);
            targets.insert(targets.end(), found.begin(), found.end());
        } else {
            targets.push_back({path, options.database, options.category});
        }
    }
    const bool namesChecked = std::any_of(targets.begin(), targets.end(),
                                          [](const Target& t) { return t.database.has_value(); });
    if (namesChecked && !RegistryReadable(Registry::Instance(), io.err)) return ExitCode::Failure;
    // Names given on the command line are checked before any work: a wrong
    // one is the caller's mistake, not the scripts'.
    if (options.database) RequireKnown(Registry::Instance(), *options.database, *options.category);

    Checker checker(options, io);
    for (const Target& target : targets) checker.Check(target);
    checker.Finish();
    if (!io.out) throw Exception("Cannot write the problems to standard output");

    const Outcome& outcome = checker.Result();
    if (outcome.unreadable) return ExitCode::Failure;
    if (outcome.unreachable) return ExitCode::Unreachable;
    if (outcome.refused) return ExitCode::Refused;
    if (outcome.errors > 0 || (options.strict && outcome.warnings > 0)) return ExitCode::Errors;
    return ExitCode::Success;
}

}  // namespace vk::cli
