#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "history/recovery_record.h"
#include "platform/file_lock.h"

namespace vk {

// The folder where running editors keep their unsaved changes: for each
// editor "<id>.lock", locked while it runs, and "<id>.recovery" while it
// holds changes not checked in. The system lets go of the lock when an
// editor crashes or is killed, so a recovery file whose lock can be taken is
// one its editor left behind.
struct RecoveryFolder {
    // "recovery" in the user's data folder.
    [[nodiscard]] static std::filesystem::path Default();
};

// This editor's place in the folder. Writes replace the file whole
// (WriteWholeFileAtomically), so a reader, a crash or a kill finds the last
// record written or the one before, never a part of one.
class RecoverySession {
public:
    // Makes the folder (readable by the user alone) and takes this editor's
    // lock. Throws vk::Exception when it cannot.
    explicit RecoverySession(std::filesystem::path folder);
    // A normal end: the recovery file and the lock go.
    ~RecoverySession();
    RecoverySession(const RecoverySession&) = delete;
    RecoverySession& operator=(const RecoverySession&) = delete;

    // Replaces the recovery file with `record`. Throws vk::Exception when
    // the file cannot be written; the one written before stays.
    void Write(const RecoveryRecord& record);
    // Nothing unsaved any more: the recovery file goes.
    void Remove() noexcept;

    [[nodiscard]] const std::filesystem::path& File() const { return file_; }

private:
    FileLock lock_;
    std::filesystem::path file_;
};

// A recovery file an editor left behind, held (locked) so that no other
// editor offers it at the same time.
class RecoveryOrphan {
public:
    RecoveryOrphan(FileLock lock, std::filesystem::path file, RecoveryRecord record)
        : lock_(std::move(lock)), file_(std::move(file)), record_(std::move(record)) {}

    [[nodiscard]] const RecoveryRecord& Record() const { return record_; }
    [[nodiscard]] const std::filesystem::path& File() const { return file_; }

    // The changes are taken care of (restored, or thrown away by the user):
    // the file, its lock and any unfinished write of it go.
    void Discard() noexcept;

private:
    FileLock lock_;
    std::filesystem::path file_;
    RecoveryRecord record_;
};

// The recovery files in `folder` whose editors are gone, newest first. A
// file that is no record is reported to `report` and renamed aside
// ("<file>.damaged"), never deleted; what gone editors left with nothing to
// recover (a lock, an unfinished write) is removed.
[[nodiscard]] std::vector<RecoveryOrphan> FindRecoveryOrphans(
    const std::filesystem::path& folder, const std::function<void(const std::string&)>& report);

}  // namespace vk
