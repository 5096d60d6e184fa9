#pragma once

#include <QStringList>
#include <string>

namespace vk {

// What the command line asks the program to open at start: a database and,
// within it, a category and a form (Windows-1252 names; empty when not
// given), as a desktop shortcut or another program names them.
struct StartOptions {
    std::string database;
    std::string category;
    std::string form;
};

// Reads --database, --category and --form from the arguments (the program
// name first). --help prints the options and ends the program, as
// does an unknown option or a category without a database (or a form without
// a category), with a message and exit code 1.
[[nodiscard]] StartOptions ParseStartOptions(const QStringList& arguments);

}  // namespace vk
