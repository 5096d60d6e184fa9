#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vk {

// Unique temporary files, as the Windows temp-name service makes them.
struct TempFiles {
    // $TMPDIR when set and not empty, else /tmp.
    [[nodiscard]] static std::filesystem::path Folder();

    // Creates a new, empty file readable and writable by the user alone,
    // whose name starts with `prefix` ("VBS" gives "/tmp/VBSa1B2c3.tmp"), and
    // returns its full path. Nothing when the file cannot be created.
    [[nodiscard]] static std::optional<std::string> CreateTempFile(std::string_view prefix);

    // Removes the file; false when there was none or it could not be removed.
    // Every temporary file is removed through here, so that the files still
    // alive are known (see below).
    static bool DeleteFile(std::string_view path);

    // Makes SIGINT, SIGTERM and SIGHUP remove the temporary files this
    // process created and has not deleted yet, then end the process as the
    // signal would have: an interrupted command-line run leaves no script
    // behind.
    static void RemoveOnTerminationSignals();

    // Counts a file made elsewhere (the one written beside a file that is
    // replaced) among the live ones until Untrack, so that a termination
    // signal removes it too. DeleteFile untracks as well.
    static void Track(const std::string& path);
    static void Untrack(const std::string& path);

    // Removes what an earlier run ended by a kill left behind: files in
    // Folder() named as CreateTempFile names them with `prefix`, regular,
    // owned by this user and not changed for `age`. Returns how many went.
    static int RemoveStale(std::string_view prefix, std::chrono::hours age);
};

// Temporary files older than this are left by a run that was killed.
inline constexpr std::chrono::hours kStaleTempFileAge{24};

// Removes a temporary file through TempFiles::DeleteFile when it goes out of
// scope, on every path; a file already gone is no error.
class TempFileRemoval {
public:
    explicit TempFileRemoval(std::string path) : path_(std::move(path)) {}
    ~TempFileRemoval() { TempFiles::DeleteFile(path_); }
    TempFileRemoval(const TempFileRemoval&) = delete;
    TempFileRemoval& operator=(const TempFileRemoval&) = delete;

    [[nodiscard]] const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace vk
