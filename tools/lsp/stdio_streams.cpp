#include "stdio_streams.h"

#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#endif

namespace vk::lsp {

StdioStreams::StdioStreams() {
    std::fflush(stdout);
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    out_.fd = _dup(_fileno(stdout));
    if (out_.fd >= 0) _setmode(out_.fd, _O_BINARY);
    _dup2(_fileno(stderr), _fileno(stdout));
    SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
#else
    // A client that goes away must end the server through a failed write,
    // not a signal.
    ::signal(SIGPIPE, SIG_IGN);
    out_.fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
#endif
}

StdioStreams::~StdioStreams() {
#ifdef _WIN32
    if (out_.fd >= 0) _close(out_.fd);
#else
    if (out_.fd >= 0) ::close(out_.fd);
#endif
}

std::size_t StdioStreams::Input::Read(char* buffer, std::size_t size) {
    for (;;) {
#ifdef _WIN32
        const int got = _read(0, buffer, static_cast<unsigned>(size > 1u << 30 ? 1u << 30 : size));
#else
        const ssize_t got = ::read(STDIN_FILENO, buffer, size);
#endif
        if (got > 0) return static_cast<std::size_t>(got);
        if (got < 0 && errno == EINTR) continue;
        return 0;
    }
}

bool StdioStreams::Output::Write(std::string_view bytes) {
    if (fd < 0) return false;
    while (!bytes.empty()) {
#ifdef _WIN32
        const int wrote =
            _write(fd, bytes.data(),
                   static_cast<unsigned>(bytes.size() > 1u << 30 ? 1u << 30 : bytes.size()));
#else
        const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
#endif
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
}

}  // namespace vk::lsp
