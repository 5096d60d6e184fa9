#include "commence/commands.h"

#include <initializer_list>

namespace vk::commands {
namespace {

// "[Name("a","b")]" with each argument quoted and inserted unchanged.
std::string Call(std::string_view name, std::initializer_list<std::string_view> arguments) {
    std::string text = "[";
    text += name;
    text += '(';
    bool first = true;
    for (std::string_view argument : arguments) {
        if (!first) text += ',';
        first = false;
        text += '"';
        text += argument;
        text += '"';
    }
    text += ")]";
    return text;
}

}  // namespace

std::string GetCategoryNames() { return "[GetCategoryNames()]"; }

std::string GetFormNames(std::string_view category) { return Call("GetFormNames", {category}); }

std::string GetFieldNames(std::string_view category) { return Call("GetFieldNames", {category}); }

std::string GetFieldDefinition(std::string_view category, std::string_view field) {
    return Call("GetFieldDefinition", {category, field});
}

std::string GetConnectionNames(std::string_view category, std::string_view delimiter1,
                               std::string_view delimiter2) {
    return Call("GetConnectionNames", {category, delimiter1, delimiter2});
}

std::string GetItemNames(std::string_view category) { return Call("GetItemNames", {category}); }

std::string GetUserPreference() { return "[GetPreference(Me,\"\t\")]"; }

std::string CheckOutFormScript(std::string_view category, std::string_view form,
                               std::string_view file) {
    return Call("CheckOutFormScript", {category, form, file});
}

std::string CheckInFormScript(std::string_view category, std::string_view form,
                              std::string_view file) {
    return Call("CheckInFormScript", {category, form, file});
}

std::string CheckInFormScriptIf(std::string_view category, std::string_view form,
                                std::string_view file, std::string_view checksum) {
    return Call("CheckInFormScriptIf", {category, form, file, checksum});
}

}  // namespace vk::commands
