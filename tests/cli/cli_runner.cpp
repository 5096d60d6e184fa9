#include "cli_runner.h"

#ifndef _WIN32
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <stdexcept>

#include "support/test_process.h"
#include "support/test_support.h"

namespace vk::test {

namespace {

// Runs the tool with standard input from `stdinPath` (empty: nothing); with
// a `terminal`, its standard error goes there instead of to a file, and with
// `outputToo` its standard output too.
CliResult Run(const std::vector<std::string>& args, const std::filesystem::path& stdinPath,
              const std::filesystem::path& terminal = {}, bool outputToo = false) {
    const TempDir capture;
    const auto outPath = capture.path() / "out";
    const auto errPath = capture.path() / "err";
    CliResult result;
    result.exitCode = RunProgram(
        BuiltProgram("vellumkit-cli"), args,
        {stdinPath, outputToo ? terminal : outPath, terminal.empty() ? errPath : terminal});
    if (!outputToo) result.out = ReadFileBytes(outPath);
    if (terminal.empty()) result.err = ReadFileBytes(errPath);
    return result;
}

}  // namespace

#ifdef _WIN32
CliResult RunCliOnTerminal(const std::vector<std::string>&, bool) {
    throw std::logic_error("no pseudo-terminal on Windows");
}
#else
CliResult RunCliOnTerminal(const std::vector<std::string>& args, bool outputToo) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        throw std::runtime_error("cannot open a pseudo-terminal");
    const std::string terminal = ptsname(master);
    // Raw, so the bytes come back as written (no CR added before LF), and
    // open on this side too, so nothing is lost when the child closes its end.
    const int keep = open(terminal.c_str(), O_RDWR | O_NOCTTY);
    termios mode{};
    if (keep >= 0 && tcgetattr(keep, &mode) == 0) {
        cfmakeraw(&mode);
        tcsetattr(keep, TCSANOW, &mode);
    }
    CliResult result;
    try {
        result = Run(args, {}, terminal, outputToo);
    } catch (...) {
        close(keep);
        close(master);
        throw;
    }
    // The child has ended; what it wrote waits in the terminal, read until it
    // is drained.
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    char buffer[4096];
    for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) result.err.append(buffer, n);
    close(keep);
    close(master);
    return result;
}
#endif

CliResult RunCli(const std::vector<std::string>& args) { return Run(args, {}); }

CliResult RunCli(const std::vector<std::string>& args, const std::string& input) {
    const TempDir dir;
    const auto path = dir.path() / "stdin";
    WriteFileBytes(path, input);
    return Run(args, path);
}

}  // namespace vk::test
