// vellumkit-cli: the road of a script without the editor window. See
// `vellumkit-cli --help`.
#include <unistd.h>

#include <iostream>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#include "cli.h"
#include "platform/temp_files.h"

int main(int argc, char** argv) {
#ifdef _WIN32
    // Scripts go out byte for byte: the C runtime's text mode would write
    // each line end of a checked-out script as CR CR LF.
    for (FILE* stream : {stdin, stdout, stderr}) (void)_setmode(_fileno(stream), _O_BINARY);
    // The progress line and the colours are terminal escapes, which a
    // console shows as such only when asked to.
    for (const DWORD stream : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        const HANDLE console = GetStdHandle(stream);
        DWORD mode = 0;
        if (GetConsoleMode(console, &mode))
            SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
#endif
    std::ios::sync_with_stdio(false);
    // A run stopped by Ctrl+C or a kill leaves no temporary script behind;
    // what a kill -9 left is removed by a later run, once it is old enough
    // that no run still works on it.
    vk::TempFiles::RemoveOnTerminationSignals();
    (void)vk::TempFiles::RemoveStale("VBS", vk::kStaleTempFileAge);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const vk::cli::Terminals terminals{isatty(STDOUT_FILENO) == 1, isatty(STDERR_FILENO) == 1};
    return static_cast<int>(vk::cli::Run(args, std::cout, std::cerr, terminals));
}
