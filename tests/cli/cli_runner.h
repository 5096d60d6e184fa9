#pragma once

#include <string>
#include <vector>

namespace vk::test {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built vellumkit-cli with `args` in this process's environment and
// waits for it; its standard input is empty.
CliResult RunCli(const std::vector<std::string>& args);
// The same with its standard error on a terminal (a pseudo-terminal), whose
// output comes back in `err`; with `outputToo` its standard output goes
// there as well (and `out` stays empty).
CliResult RunCliOnTerminal(const std::vector<std::string>& args, bool outputToo = false);
// The same with `input` as its standard input.
CliResult RunCli(const std::vector<std::string>& args, const std::string& input);

}  // namespace vk::test
