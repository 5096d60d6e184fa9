#include "cli.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <string_view>

#include "check_command.h"
#include "cli_output.h"
#include "colour_command.h"
#include "commands.h"
#include "common/exceptions.h"
#include "fields_command.h"
#include "filter_command.h"
#include "folder_commands.h"
#include "history/history_recorder.h"
#include "history/history_settings.h"
#include "history_command.h"
#include "outline_command.h"
#include "platform/registry.h"
#include "registry_check.h"
#include "script_manifest.h"
#include "settings/settings.h"

namespace vk::cli {
namespace {

constexpr std::string_view kProgram = "vellumkit-cli";

constexpr std::string_view kExitCodes =
    "Exit status:\n"
    "  0  success\n"
    "  1  failure (a file could not be read or written, an unreadable reply)\n"
    "  2  bad arguments (or a folder's manifest that cannot be acted on)\n"
    "  3  Commence not reachable for the database\n"
    "  4  refused by Commence (no such database, category or form; script not stored)\n"
    "  5  conflict (changes on both sides; nothing stored or overwritten for them)\n"
    "  6  differences found (status)\n"
    "  7  errors found in a script (check)\n";

// The options a command takes, as bits.
enum Option : unsigned {
    kNoOption = 0,
    kOutput = 1u << 0,    // -o FILE
    kRtf = 1u << 1,       // --rtf
    kRead = 1u << 2,      // --read
    kJson = 1u << 3,      // --json
    kQuiet = 1u << 4,     // --quiet
    kForce = 1u << 5,     // --force
    kDryRun = 1u << 6,    // --dry-run
    kColour = 1u << 7,    // --colour
    kNoColour = 1u << 8,  // --no-colour
    kShow = 1u << 9,      // --show N
    kDiff = 1u << 10,     // --diff N M
};

// The options that are a word alone, and where each lands.
struct Flag {
    std::string_view text;
    Option option;
    bool Invocation::*field;
};

constexpr std::array<Flag, 8> kFlags = {{
    {"--rtf", kRtf, &Invocation::rtf},
    {"--read", kRead, &Invocation::read},
    {"--json", kJson, &Invocation::json},
    {"--quiet", kQuiet, &Invocation::quiet},
    {"--force", kForce, &Invocation::force},
    {"--dry-run", kDryRun, &Invocation::dryRun},
    {"--colour", kColour, &Invocation::colour},
    {"--no-colour", kNoColour, &Invocation::noColour},
}};

struct CommandSpec {
    std::string_view name;
    std::string_view usage;  // operands and options after the name
    std::size_t operands;
    unsigned options;  // Option bits
    std::string_view summary;
    std::string_view description;
    std::string_view more;  // printed after the description
    ExitCode (*run)(const Invocation&, Streams);
};

constexpr std::string_view kJsonHelp = "\n  --json  one JSON array of the names (UTF-8) instead\n";

// A command that reads its arguments itself takes them all as operands.
constexpr std::size_t kOwnArguments = static_cast<std::size_t>(-1);

constexpr std::array<CommandSpec, 15> kCommands = {{
    {"databases", "[--json]", 0, kJson, "list the registered Commence databases",
     "Lists the Commence databases registered on this machine, one name a line,\n"
     "those of the current user first.\n",
     kJsonHelp, ListDatabases},
    {"categories", "DB [--json]", 1, kJson, "list the categories of a database",
     "Lists the categories of database DB, one name a line, starting Commence\n"
     "for it when it does not answer.\n",
     kJsonHelp, ListCategories},
    {"forms", "DB CATEGORY [--json]", 2, kJson, "list the detail forms of a category",
     "Lists the detail forms of CATEGORY in database DB, one name a line.\n", kJsonHelp, ListForms},
    {"fields", "DB CATEGORY [--json]", 2, kJson, "list the fields and connections of a category",
     kFieldsHelp, "", ListFields},
    {"checkout", "DB CATEGORY FORM [-o FILE]", 3, kOutput,
     "write a form's script to a file or standard output",
     "Checks the script of FORM out of Commence and writes its bytes unchanged\n"
     "to FILE, or to standard output without -o.\n"
     "\n"
     "  -o FILE  write the script to FILE\n",
     "", CheckOut},
    {"checkin", "DB CATEGORY FORM FILE", 4, kNoOption, "store a script file as a form's script",
     "Checks FILE into Commence as the script of FORM. The category, saved and\n"
     "checksum tag lines are refreshed first as the editor's settings say (the\n"
     "file itself is not changed). The editor's messages are printed to\n"
     "standard error.\n",
     "", CheckIn},
    {"pull", "DB DIR [--force] [--quiet]", 2, kForce | kQuiet,
     "write every form script of a database into a folder", kPullHelp, kFileNamesHelp, Pull},
    {"status", "DB DIR [--quiet]", 2, kQuiet, "compare a pulled folder with Commence", kStatusHelp,
     "", Status},
    {"push", "DB DIR [--force] [--dry-run] [--quiet]", 2, kForce | kDryRun | kQuiet,
     "store the scripts changed in a pulled folder", kPushHelp, "", Push},
    {"history", "DB CATEGORY FORM [--show N | --diff N M]", 3, kShow | kDiff,
     "list, print or compare the versions of a form's script kept here", kHistoryHelp, "",
     ShowHistory},
    {"checksum", "FILE", 1, kNoOption, "print the CRC-32 of a script file",
     "Prints the CRC-32 of FILE's script text (every line ending in CR LF) as\n"
     "eight lowercase hexadecimal digits, as the editor's Show CheckSum does.\n",
     "", PrintChecksum},
    {"colour", "[--rtf | --colour | --no-colour] FILE", 1, kRtf | kColour | kNoColour,
     "print a script file in the token class colours", kColourHelp, "", PrintColour},
    {"outline", "FILE", 1, kNoOption, "list the events, Subs and Functions of a script",
     "Scans FILE as the code browser does (lines end at CR LF, LF or a lone CR)\n"
     "and prints one line per declaration, in text order:\n"
     "\n"
     "  KIND<TAB>NAME<TAB>LINE<TAB>STATE\n"
     "\n"
     "KIND is Event, Sub or Function; NAME the declared name (an event's without\n"
     "its Form_); LINE the 1-based line of the name; STATE Code (terminated, with\n"
     "a body), NoCode (terminated, empty body) or NoEnd (not terminated). Then\n"
     "one 'warning<TAB>TEXT' line per broken declaration and one\n"
     "'status<TAB>TEXT' line per declaration that is not terminated.\n",
     "", PrintOutline},
    {"filter", "[--read]", 0, kRead, "compose ViewFilter commands from JSON lines", kFilterHelp, "",
     ComposeFilters},
    {"check", "FILE... [--database DB --category CATEGORY] [--json] [--strict]", kOwnArguments,
     kNoOption, "find errors in scripts before Commence runs them", kCheckHelp, "", CheckScripts},
}};

void PrintUsage(std::ostream& out) {
    out << "Usage: " << kProgram << " COMMAND [ARGUMENTS]\n\nCommands:\n";
    for (const auto& c : kCommands) {
        std::string left = std::string(c.name);
        left.resize(std::max<std::size_t>(left.size() + 2, 12), ' ');
        out << "  " << left << c.summary << '\n';
    }
    out << "\nRun '" << kProgram << " COMMAND --help' for a command's arguments, and\n'" << kProgram
        << " pull --help' for how names become file names.\n\n"
        << kExitCodes;
}

void PrintCommandHelp(std::ostream& out, const CommandSpec& c) {
    out << "Usage: " << kProgram << ' ' << c.name;
    if (!c.usage.empty()) out << ' ' << c.usage;
    out << "\n\n" << c.description << c.more << '\n' << kExitCodes;
}

ExitCode BadArguments(std::ostream& err, std::string_view problem, std::string_view command) {
    err << kProgram << ": " << problem << '\n'
        << "Try '" << kProgram << (command.empty() ? "" : " ") << command << " --help'.\n";
    return ExitCode::BadArguments;
}

const Flag* FlagNamed(std::string_view arg) {
    const auto it =
        std::find_if(kFlags.begin(), kFlags.end(), [&](const Flag& f) { return f.text == arg; });
    return it == kFlags.end() ? nullptr : &*it;
}

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

// Takes the command's arguments apart; the problem's text when they are wrong.
std::optional<std::string> Parse(const CommandSpec& c, const std::vector<std::string>& args,
                                 Invocation& call) {
    if (c.operands == kOwnArguments) {
        call.operands = args;
        return std::nullopt;
    }
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (c.options & kOutput) && arg == "-o") {
            if (call.output) return "-o given twice";
            if (i + 1 >= args.size()) return "-o needs a file name";
            call.output = args[++i];
        } else if (!optionsEnded && (c.options & kShow) && arg == "--show") {
            if (call.show) return "--show given twice";
            if (i + 1 >= args.size()) return "--show needs a version number";
            call.show = ParseVersionNumber(args[++i]);
            if (!call.show) return "'" + args[i] + "' is not a version number";
        } else if (!optionsEnded && (c.options & kDiff) && arg == "--diff") {
            if (call.diff) return "--diff given twice";
            if (i + 2 >= args.size()) return "--diff needs two version numbers";
            const auto from = ParseVersionNumber(args[++i]);
            if (!from) return "'" + args[i] + "' is not a version number";
            const auto to = ParseVersionNumber(args[++i]);
            if (!to) return "'" + args[i] + "' is not a version number";
            call.diff = {*from, *to};
        } else if (const Flag* flag = FlagNamed(arg);
                   !optionsEnded && flag && (c.options & flag->option)) {
            call.*(flag->field) = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return "unknown option '" + arg + "'";
        } else {
            call.operands.push_back(arg);
        }
    }
    if (int(call.rtf) + int(call.colour) + int(call.noColour) > 1)
        return "--rtf, --colour and --no-colour exclude each other";
    if (call.show && call.diff) return "--show and --diff exclude each other";
    if (call.operands.size() != c.operands) {
        return "'" + std::string(c.name) + "' takes " + std::to_string(c.operands) + " operand" +
               (c.operands == 1 ? "" : "s") + ", " + std::to_string(call.operands.size()) +
               " given";
    }
    return std::nullopt;
}

}  // namespace

ExitCode Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             Terminals terminals) {
    if (args.empty()) return BadArguments(err, "no command given", "");
    if (IsHelp(args[0])) {
        PrintUsage(out);
        return ExitCode::Success;
    }
    const auto command = std::find_if(kCommands.begin(), kCommands.end(),
                                      [&](const CommandSpec& c) { return c.name == args[0]; });
    if (command == kCommands.end())
        return BadArguments(err, "unknown command '" + args[0] + "'", "");

    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (std::any_of(rest.begin(), rest.end(), [](const std::string& a) { return IsHelp(a); })) {
        PrintCommandHelp(out, *command);
        return ExitCode::Success;
    }
    Invocation call;
    if (const auto problem = Parse(*command, rest, call))
        return BadArguments(err, *problem, command->name);

    // Every command but those on a script file alone reads the registry, and
    // none of them should act on defaults when its file cannot be read
    // (check reads it only for names, and asks then).
    const bool readsRegistry = command->name != "checksum" && command->name != "outline" &&
                               command->name != "filter" && command->name != "history" &&
                               command->name != "check";
    if (readsRegistry && !RegistryReadable(Registry::Instance(), err)) return ExitCode::Failure;
    // Every script a command stores is kept in the local history; one that
    // cannot be kept is a warning, and the command goes on.
    const HistoryLimits limits =
        readsRegistry ? HistoryLimitsFrom(TSettings(Registry::Instance())) : HistoryLimits{};
    HistoryRecorder recorder(HistoryStore::DefaultFile(), limits,
                             [&err](const std::string& warning) {
                                 PrintMessage(err, std::string(kProgram) + ": warning: " + warning);
                             });
    const ScopedCheckInRecorder recording(recorder);
    try {
        return command->run(call, Streams{out, err, terminals.out, terminals.err});
    } catch (const EDDEFailed& e) {
        PrintMessage(err, e.what(), terminals.err);
        return ExitCode::Unreachable;
    } catch (const EMacroFailed& e) {
        PrintMessage(err, e.what(), terminals.err);
        return ExitCode::Refused;
    } catch (const EMissingDBItem& e) {
        PrintMessage(err, e.what(), terminals.err);
        return ExitCode::Refused;
    } catch (const EBadManifest& e) {
        PrintMessage(err, e.what(), terminals.err);
        return ExitCode::BadArguments;
    } catch (const std::exception& e) {
        PrintMessage(err, e.what(), terminals.err);
        return ExitCode::Failure;
    }
}

}  // namespace vk::cli
