// vellumkit-cli: the road of a script without the editor window. See
// `vellumkit-cli --help`.
#include <iostream>

#include "cli.h"
#include "platform/temp_files.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // A run stopped by Ctrl+C or a kill leaves no temporary script behind.
    vk::TempFiles::RemoveOnTerminationSignals();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return static_cast<int>(vk::cli::Run(args, std::cout, std::cerr));
}
