#include "app/start_options.h"

#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>

#include "editor/ansi_text.h"

namespace vk {
namespace {

// Ends the program as the parser does for an unknown option.
[[noreturn]] void Refuse(const char* message) {
    std::fprintf(stderr, "vellumkit: %s\n", message);
    std::exit(1);
}

}  // namespace

StartOptions ParseStartOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Edits the VBScript of Commence detail forms."));
    parser.addHelpOption();
    const QCommandLineOption database(QStringLiteral("database"),
                                      QStringLiteral("Opens the Commence database <name>."),
                                      QStringLiteral("name"));
    const QCommandLineOption category(
        QStringLiteral("category"),
        QStringLiteral("Opens the category <name> of that database (needs --database)."),
        QStringLiteral("name"));
    const QCommandLineOption form(
        QStringLiteral("form"),
        QStringLiteral("Opens the script of the detail form <name> (needs --category)."),
        QStringLiteral("name"));
    parser.addOptions({database, category, form});
    parser.process(arguments);

    StartOptions options{ToAnsi(parser.value(database)), ToAnsi(parser.value(category)),
                         ToAnsi(parser.value(form))};
    if (!options.category.empty() && options.database.empty())
        Refuse("--category needs --database.");
    if (!options.form.empty() && options.category.empty()) Refuse("--form needs --category.");
    return options;
}

}  // namespace vk
