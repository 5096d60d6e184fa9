// vellumkit-lsp: the language server for VBScript form scripts, over
// standard input and output.

#include <exception>
#include <iostream>
#include <string_view>

#include "language_server.h"
#include "platform/registry.h"
#include "stdio_streams.h"

namespace {

constexpr std::string_view kHelp =
    "Usage: vellumkit-lsp [--stdio]\n"
    "\n"
    "A Language Server Protocol server (3.17) for the VBScript of Commence detail\n"
    "forms, spoken over standard input and output: problems as you type (the\n"
    "script engine's errors, the checks of vellumkit-cli check, and the field and\n"
    "connection names), completion with the category's field and connection\n"
    "names, hover, signature help, the outline, definition, references, rename\n"
    "and formatting. Logs go to standard error.\n"
    "\n"
    "A script in a folder made by 'vellumkit-cli pull' takes its database and\n"
    "category from the folder's manifest. Initialization options:\n"
    "  database, category   for scripts outside a pulled folder\n"
    "  vbsdoc               the folder of the VBScript reference (else the one\n"
    "                       the setup registered)\n"
    "  checkNames           false: do not check names against Commence\n"
    "  indentFromClient     true: format with the client's tab size and spaces\n"
    "                       instead of the editor's \"Tab width\" and \"Indent style\"\n";

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--stdio") continue;  // what clients pass to say how to talk
        if (arg == "--help" || arg == "-h") {
            std::cout << kHelp;
            return 0;
        }
        if (arg == "--version") {
            std::cout << "vellumkit-lsp " << VK_VERSION << '\n';
            return 0;
        }
        std::cerr << "vellumkit-lsp: unknown argument '" << arg
                  << "'\nTry 'vellumkit-lsp --help'.\n";
        return 2;
    }
    try {
        vk::lsp::StdioStreams streams;
        return vk::lsp::Serve(streams.In(), streams.Out(), vk::Registry::Instance());
    } catch (const std::exception& e) {
        std::cerr << "vellumkit-lsp: " << e.what() << '\n';
        return 1;
    }
}
