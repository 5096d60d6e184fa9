#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commence/form_location.h"
#include "common/exceptions.h"

struct sqlite3;

namespace vk {

// Where a kept version came from.
enum class VersionSource {
    CheckedIn,  // stored into Commence
    Loaded,     // what Commence held when the script was opened
    Merged,     // the result of merging with a change made in Commence
};

// "checked in", "loaded", "merged": how a version's source is shown and kept.
[[nodiscard]] std::string_view SourceName(VersionSource source) noexcept;

// One kept version of a form's script, without its text.
struct HistoryVersion {
    std::int64_t number = 0;     // 1, 2, 3, ... per form; never reused
    std::int64_t time = 0;       // seconds since 1970-01-01 UTC
    std::uint64_t size = 0;      // bytes
    std::uint32_t checksum = 0;  // CRC-32 of all the bytes (PrintOf)
    VersionSource source = VersionSource::CheckedIn;
};

// How much the history keeps: the newest versions of each form, and at most
// so many bytes of script text in all, the oldest versions going first.
struct HistoryLimits {
    std::size_t versionsPerForm = 200;
    std::uint64_t totalBytes = 100u * 1000 * 1000;
};

// The history could not be read or written (the folder is not writable, the
// disk is full, another program holds the file too long).
class EHistoryFailed : public Exception {
    using Exception::Exception;
};

// The local history of the scripts: every version of each form's script
// that was checked in or loaded, in one SQLite file, keyed by database,
// category and form (compared without regard to ASCII case, as Commence
// compares them). Script text is kept byte for byte.
//
// A file that is not a history of ours, or is damaged, is reported to
// `report`, renamed aside ("<file>.damaged-<when>") so nothing in it is
// destroyed, and a new history is started in its place. Every other failure
// is thrown as EHistoryFailed; a caller that records on the side (a check-in)
// turns that into a warning. Several programs may use one file at once.
class HistoryStore {
public:
    using Report = std::function<void(const std::string&)>;

    // The file is opened, and made with its folder when missing, on first use.
    HistoryStore(std::filesystem::path file, HistoryLimits limits, Report report);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // The history file in the user's data folder.
    [[nodiscard]] static std::filesystem::path DefaultFile();

    [[nodiscard]] const std::filesystem::path& File() const { return file_; }

    // Keeps `text` as the form's newest version and applies the limits; the
    // new version itself is always kept. Returns its number.
    std::int64_t Add(const FormLocation& form, std::string_view text, VersionSource source,
                     std::int64_t time);

    // Keeps `text` only when it differs from the form's newest version (a
    // script loaded again unchanged adds nothing). The number of the version
    // added, or nothing.
    std::optional<std::int64_t> AddIfChanged(const FormLocation& form, std::string_view text,
                                             VersionSource source, std::int64_t time);

    // The form's versions, oldest first.
    [[nodiscard]] std::vector<HistoryVersion> Versions(const FormLocation& form);

    // The text of version `number` of the form; nothing when it has none.
    [[nodiscard]] std::optional<std::string> Text(const FormLocation& form, std::int64_t number);

private:
    struct Closer {
        void operator()(sqlite3* db) const noexcept;
    };
    using Database = std::unique_ptr<sqlite3, Closer>;

    // Runs `work` on the open file; a damaged file is set aside and the work
    // tried once more on a new one.
    template <typename Work>
    auto Use(Work&& work);
    sqlite3* Open();
    void SetAside(const std::string& why);
    std::optional<std::int64_t> AddVersion(const FormLocation& form, std::string_view text,
                                           VersionSource source, std::int64_t time,
                                           bool onlyIfChanged);
    void Prune(sqlite3* db, std::int64_t formId, std::int64_t added) const;

    std::filesystem::path file_;
    HistoryLimits limits_;
    Report report_;
    Database db_;
};

}  // namespace vk
