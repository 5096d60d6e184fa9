#include <windows.h>
// windows.h names DeleteFile as a macro; ours is a member function.
#undef DeleteFile

#include <cctype>
#include <mutex>
#include <set>

#include "platform/temp_files.h"

namespace vk {
namespace {

// The temporary files alive in this process. A console control event (Ctrl+C,
// the console closing) is handled on a thread of its own, so a lock is enough.
std::mutex liveMutex;
std::set<std::string>& LiveFiles() {
    static std::set<std::string> files;
    return files;
}

BOOL WINAPI RemoveLiveFiles(DWORD) {
    const std::lock_guard lock(liveMutex);
    for (const std::string& file : LiveFiles()) DeleteFileA(file.c_str());
    LiveFiles().clear();
    return FALSE;  // the default handler then ends the process as it would have
}

}  // namespace

std::filesystem::path TempFiles::Folder() {
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH) return std::filesystem::path(".");
    return std::filesystem::path(std::string(folder, length));
}

std::optional<std::string> TempFiles::CreateTempFile(std::string_view prefix) {
    // GetTempFileName takes the first three characters of the prefix and
    // creates the file, never reusing a name that exists.
    char name[MAX_PATH + 1] = {};
    if (GetTempFileNameA(Folder().string().c_str(), std::string(prefix).c_str(), 0, name) == 0)
        return std::nullopt;
    const std::lock_guard lock(liveMutex);
    LiveFiles().insert(name);
    return std::string(name);
}

bool TempFiles::DeleteFile(std::string_view path) {
    const std::string file(path);
    const bool removed = DeleteFileA(file.c_str()) != 0;
    const std::lock_guard lock(liveMutex);
    LiveFiles().erase(file);
    return removed;
}

void TempFiles::RemoveOnTerminationSignals() { SetConsoleCtrlHandler(RemoveLiveFiles, TRUE); }

void TempFiles::Track(const std::string& path) {
    const std::lock_guard lock(liveMutex);
    LiveFiles().insert(path);
}

void TempFiles::Untrack(const std::string& path) {
    const std::lock_guard lock(liveMutex);
    LiveFiles().erase(path);
}

int TempFiles::RemoveStale(std::string_view prefix, std::chrono::hours age) {
    // GetTempFileName's names: up to three letters of the prefix, four
    // hexadecimal digits, ".tmp". The folder is the user's own.
    const std::string start(prefix.substr(0, 3));
    const auto isOurs = [&](const std::string& name) {
        if (name.size() != start.size() + 8 || name.compare(0, start.size(), start) != 0 ||
            name.compare(name.size() - 4, 4, ".tmp") != 0)
            return false;
        for (std::size_t i = start.size(); i < start.size() + 4; ++i)
            if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
        return true;
    };
    const auto before = std::filesystem::file_time_type::clock::now() - age;
    int removed = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(Folder(), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code fileEc;
        if (!isOurs(it->path().filename().string()) || !it->is_regular_file(fileEc) ||
            it->is_symlink(fileEc) || it->last_write_time(fileEc) >= before || fileEc)
            continue;
        if (DeleteFileW(it->path().c_str())) ++removed;
    }
    return removed;
}

}  // namespace vk
