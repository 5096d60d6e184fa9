#include <windows.h>
// windows.h names DeleteFile as a macro; ours is a member function.
#undef DeleteFile

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

}  // namespace vk
