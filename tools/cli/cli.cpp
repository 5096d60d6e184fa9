#include "cli.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <string_view>

#include "cli_output.h"
#include "commands.h"
#include "common/exceptions.h"
#include "filter_command.h"
#include "outline_command.h"
#include "platform/registry.h"
#include "registry_check.h"

namespace vk::cli {
namespace {

constexpr std::string_view kProgram = "vellumkit-cli";

constexpr std::string_view kExitCodes =
    "Exit status:\n"
    "  0  success\n"
    "  1  failure (a file could not be read or written, an unreadable reply)\n"
    "  2  bad arguments\n"
    "  3  Commence not reachable for the database\n"
    "  4  refused by Commence (no such database, category or form; script not stored)\n";

enum class Option { None, Output, Rtf, Read };

struct CommandSpec {
    std::string_view name;
    std::string_view usage;  // operands and options after the name
    std::size_t operands;
    Option option;
    bool optionRequired;
    std::string_view summary;
    std::string_view description;
    ExitCode (*run)(const Invocation&, Streams);
};

constexpr std::array<CommandSpec, 9> kCommands = {{
    {"databases", "", 0, Option::None, false, "list the registered Commence databases",
     "Lists the Commence databases registered on this machine, one name a line,\n"
     "those of the current user first.\n",
     ListDatabases},
    {"categories", "DB", 1, Option::None, false, "list the categories of a database",
     "Lists the categories of database DB, one name a line, starting Commence\n"
     "for it when it does not answer.\n",
     ListCategories},
    {"forms", "DB CATEGORY", 2, Option::None, false, "list the detail forms of a category",
     "Lists the detail forms of CATEGORY in database DB, one name a line.\n", ListForms},
    {"checkout", "DB CATEGORY FORM [-o FILE]", 3, Option::Output, false,
     "write a form's script to a file or standard output",
     "Checks the script of FORM out of Commence and writes its bytes unchanged\n"
     "to FILE, or to standard output without -o.\n"
     "\n"
     "  -o FILE  write the script to FILE\n",
     CheckOut},
    {"checkin", "DB CATEGORY FORM FILE", 4, Option::None, false,
     "store a script file as a form's script",
     "Checks FILE into Commence as the script of FORM. The category, saved and\n"
     "checksum tag lines are refreshed first as the editor's settings say (the\n"
     "file itself is not changed). The editor's messages are printed to\n"
     "standard error.\n",
     CheckIn},
    {"checksum", "FILE", 1, Option::None, false, "print the CRC-32 of a script file",
     "Prints the CRC-32 of FILE's script text (every line ending in CR LF) as\n"
     "eight lowercase hexadecimal digits, as the editor's Show CheckSum does.\n",
     PrintChecksum},
    {"colour", "--rtf FILE", 1, Option::Rtf, true, "print a script file as coloured RTF",
     "Prints the RTF document the editor loads for FILE, coloured with the\n"
     "current token class fonts.\n"
     "\n"
     "  --rtf  write RTF (the only format)\n",
     PrintColouredRtf},
    {"outline", "FILE", 1, Option::None, false, "list the events, Subs and Functions of a script",
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
     PrintOutline},
    {"filter", "[--read]", 0, Option::Read, false, "compose ViewFilter commands from JSON lines",
     kFilterHelp, ComposeFilters},
}};

void PrintUsage(std::ostream& out) {
    out << "Usage: " << kProgram << " COMMAND [ARGUMENTS]\n\nCommands:\n";
    for (const auto& c : kCommands) {
        std::string left = std::string(c.name);
        left.resize(std::max<std::size_t>(left.size() + 2, 12), ' ');
        out << "  " << left << c.summary << '\n';
    }
    out << "\nRun '" << kProgram << " COMMAND --help' for a command's arguments.\n\n" << kExitCodes;
}

void PrintCommandHelp(std::ostream& out, const CommandSpec& c) {
    out << "Usage: " << kProgram << ' ' << c.name;
    if (!c.usage.empty()) out << ' ' << c.usage;
    out << "\n\n" << c.description << '\n' << kExitCodes;
}

ExitCode BadArguments(std::ostream& err, std::string_view problem, std::string_view command) {
    err << kProgram << ": " << problem << '\n'
        << "Try '" << kProgram << (command.empty() ? "" : " ") << command << " --help'.\n";
    return ExitCode::BadArguments;
}

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

// Takes the command's arguments apart; the problem's text when they are wrong.
std::optional<std::string> Parse(const CommandSpec& c, const std::vector<std::string>& args,
                                 Invocation& call) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && c.option == Option::Output && arg == "-o") {
            if (call.output) return "-o given twice";
            if (i + 1 >= args.size()) return "-o needs a file name";
            call.output = args[++i];
        } else if (!optionsEnded && c.option == Option::Rtf && arg == "--rtf") {
            call.rtf = true;
        } else if (!optionsEnded && c.option == Option::Read && arg == "--read") {
            call.read = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return "unknown option '" + arg + "'";
        } else {
            call.operands.push_back(arg);
        }
    }
    if (c.optionRequired && c.option == Option::Rtf && !call.rtf) return "--rtf is required";
    if (call.operands.size() != c.operands) {
        return "'" + std::string(c.name) + "' takes " + std::to_string(c.operands) + " operand" +
               (c.operands == 1 ? "" : "s") + ", " + std::to_string(call.operands.size()) +
               " given";
    }
    return std::nullopt;
}

}  // namespace

ExitCode Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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
    // none of them should act on defaults when its file cannot be read.
    const bool readsRegistry = command->name != "checksum" && command->name != "outline" &&
                               command->name != "filter";
    if (readsRegistry && !RegistryReadable(Registry::Instance(), err))
        return ExitCode::Failure;
    try {
        return command->run(call, Streams{out, err});
    } catch (const EDDEFailed& e) {
        PrintMessage(err, e.what());
        return ExitCode::Unreachable;
    } catch (const EMacroFailed& e) {
        PrintMessage(err, e.what());
        return ExitCode::Refused;
    } catch (const EMissingDBItem& e) {
        PrintMessage(err, e.what());
        return ExitCode::Refused;
    } catch (const std::exception& e) {
        PrintMessage(err, e.what());
        return ExitCode::Failure;
    }
}

}  // namespace vk::cli
