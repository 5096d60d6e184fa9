#include "history/recovery_folder.h"

#include <algorithm>
#include <random>
#include <system_error>

#include "common/exceptions.h"
#include "common/file_bytes.h"
#include "common/script_limits.h"
#include "platform/user_folders.h"

namespace vk {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kLockExtension = ".lock";
constexpr std::string_view kRecoveryExtension = ".recovery";

fs::path WithExtension(const fs::path& folder, const std::string& id, std::string_view extension) {
    return folder / (id + std::string(extension));
}

std::string NewId() {
    std::random_device seed;
    std::mt19937_64 random((static_cast<std::uint64_t>(seed()) << 32) ^ seed());
    static constexpr char kHex[] = "0123456789abcdef";
    std::string id;
    for (std::uint64_t value = random(), i = 0; i < 16; ++i, value >>= 4) id += kHex[value & 15];
    return id;
}

void MakePrivateFolder(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
        throw Exception("Cannot make the recovery folder " + folder.string() + ": " + ec.message());
    fs::permissions(folder, fs::perms::owner_all, ec);
}

// WriteWholeFileAtomically writes ".<name>.<random>.tmp" beside the file;
// one a kill interrupted stays behind.
bool IsUnfinishedWriteOf(const std::string& name, const std::string& id) {
    const std::string prefix = "." + id + std::string(kRecoveryExtension) + ".";
    return name.size() > prefix.size() + 4 && name.compare(0, prefix.size(), prefix) == 0 &&
           name.compare(name.size() - 4, 4, ".tmp") == 0;
}

void RemoveUnfinishedWrites(const fs::path& folder, const std::string& id) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (IsUnfinishedWriteOf(entry.path().filename().string(), id)) {
            std::error_code ignored;
            fs::remove(entry.path(), ignored);
        }
    }
}

}  // namespace

fs::path RecoveryFolder::Default() { return UserFolders::DataFolder() / "recovery"; }

RecoverySession::RecoverySession(fs::path folder)
    : lock_([&] {
          MakePrivateFolder(folder);
          // A fresh id is free unless another editor drew the same one.
          for (int attempt = 0;; ++attempt) {
              std::string why;
              FileLock::Refusal refusal = FileLock::Refusal::Failed;
              if (auto lock = FileLock::TryTake(WithExtension(folder, NewId(), kLockExtension),
                                                &refusal, &why))
                  return std::move(*lock);
              if (refusal == FileLock::Refusal::Failed || attempt == 10)
                  throw Exception("Cannot use the recovery folder " + folder.string() + ": " + why);
          }
      }()) {
    file_ = lock_.File();
    file_.replace_extension(kRecoveryExtension);
}

RecoverySession::~RecoverySession() {
    Remove();
    lock_.RemoveFile();
}

void RecoverySession::Write(const RecoveryRecord& record) {
    std::string why;
    if (!WriteWholeFileAtomically(file_, EncodeRecovery(record), &why))
        throw Exception("Cannot write the recovery file " + file_.string() + ": " + why);
}

void RecoverySession::Remove() noexcept {
    std::error_code ignored;
    fs::remove(file_, ignored);
}

void RecoveryOrphan::Discard() noexcept {
    std::error_code ignored;
    fs::remove(file_, ignored);
    RemoveUnfinishedWrites(file_.parent_path(), file_.stem().string());
    lock_.RemoveFile();
}

std::vector<RecoveryOrphan> FindRecoveryOrphans(
    const fs::path& folder, const std::function<void(const std::string&)>& report) {
    std::vector<std::string> ids;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const fs::path& path = entry.path();
        const std::string extension = path.extension().string();
        if ((extension == kLockExtension || extension == kRecoveryExtension) &&
            path.filename().string().front() != '.')
            ids.push_back(path.stem().string());
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());

    std::vector<RecoveryOrphan> orphans;
    for (const std::string& id : ids) {
        // Held: its editor runs (this one's own lock included).
        auto lock = FileLock::TryTake(WithExtension(folder, id, kLockExtension));
        if (!lock) continue;
        const fs::path file = WithExtension(folder, id, kRecoveryExtension);
        if (!fs::exists(file, ec)) {
            // Gone with nothing unsaved.
            RemoveUnfinishedWrites(folder, id);
            lock->RemoveFile();
            continue;
        }
        std::string why;
        std::optional<RecoveryRecord> record;
        if (auto bytes = ReadWholeFile(file, &why, 2 * kMaxScriptBytes + 4096))
            record = DecodeRecovery(*bytes, &why);
        if (!record) {
            fs::path aside = file;
            aside += ".damaged";
            std::error_code failed;
            fs::rename(file, aside, failed);
            if (report)
                report("The recovery file " + file.string() + " cannot be read (" + why + ")" +
                       (failed ? "" : "; it was moved to " + aside.string()) + ".");
            if (!failed) lock->RemoveFile();
            continue;
        }
        orphans.emplace_back(std::move(*lock), file, std::move(*record));
    }
    std::stable_sort(orphans.begin(), orphans.end(),
                     [](const RecoveryOrphan& a, const RecoveryOrphan& b) {
                         return a.Record().savedAt > b.Record().savedAt;
                     });
    return orphans;
}

}  // namespace vk
