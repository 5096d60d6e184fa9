#include "platform/temp_files.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cstring>
#include <ctime>

namespace vk {

namespace {
constexpr std::string_view kSuffix = ".tmp";

// The temporary files alive in this process, readable from a signal handler:
// fixed slots, each claimed and released through its flag. A command holds
// one or two at a time; a file that finds no free slot is still made, it is
// only not removed on a signal.
constexpr std::size_t kLongestPath = 4096;
struct LiveFile {
    std::atomic<bool> used{false};
    std::atomic<bool> ready{false};
    std::array<char, kLongestPath> path{};
};
std::array<LiveFile, 16> liveFiles;

}  // namespace

void TempFiles::Track(const std::string& path) {
    if (path.size() >= kLongestPath) return;
    for (LiveFile& slot : liveFiles) {
        bool expected = false;
        if (!slot.used.compare_exchange_strong(expected, true)) continue;
        std::memcpy(slot.path.data(), path.c_str(), path.size() + 1);
        slot.ready = true;
        return;
    }
}

void TempFiles::Untrack(const std::string& path) {
    for (LiveFile& slot : liveFiles) {
        if (!slot.ready || std::strcmp(slot.path.data(), path.c_str()) != 0) continue;
        slot.ready = false;
        slot.used = false;
    }
}

namespace {

extern "C" void RemoveLiveFilesAndEnd(int signal) {
    for (LiveFile& slot : liveFiles)
        if (slot.ready) ::unlink(slot.path.data());
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

}  // namespace

std::filesystem::path TempFiles::Folder() {
    const char* folder = ::getenv("TMPDIR");
    return (folder && *folder) ? std::filesystem::path(folder) : std::filesystem::path("/tmp");
}

std::optional<std::string> TempFiles::CreateTempFile(std::string_view prefix) {
    std::string name = (Folder() / prefix).string();
    name += "XXXXXX";
    name += kSuffix;
    // mkstemps creates the file with mode 0600 and never reuses a name.
    const int fd = ::mkostemps(name.data(), static_cast<int>(kSuffix.size()), O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    ::close(fd);
    Track(name);
    return name;
}

bool TempFiles::DeleteFile(std::string_view path) {
    const std::string file(path);
    const bool removed = ::unlink(file.c_str()) == 0;
    Untrack(file);
    return removed;
}

void TempFiles::RemoveOnTerminationSignals() {
    struct sigaction action {};
    action.sa_handler = RemoveLiveFilesAndEnd;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

int TempFiles::RemoveStale(std::string_view prefix, std::chrono::hours age) {
    // mkstemps' names: the prefix, six letters or digits, the suffix.
    const auto isOurs = [&](std::string_view name) {
        if (name.size() != prefix.size() + 6 + kSuffix.size() || !name.starts_with(prefix) ||
            !name.ends_with(kSuffix))
            return false;
        const std::string_view middle = name.substr(prefix.size(), 6);
        return std::all_of(middle.begin(), middle.end(),
                           [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
    };
    const std::time_t before = std::time(nullptr) - std::chrono::seconds(age).count();
    int removed = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(Folder(), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string path = it->path().string();
        struct stat info {};
        if (!isOurs(it->path().filename().string()) || ::lstat(path.c_str(), &info) != 0 ||
            !S_ISREG(info.st_mode) || info.st_uid != ::geteuid() || info.st_mtime >= before)
            continue;
        if (::unlink(path.c_str()) == 0) ++removed;
    }
    return removed;
}

}  // namespace vk
