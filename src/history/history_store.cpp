#include "history/history_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <system_error>
#include <utility>

#include "document/script_checksum.h"
#include "platform/user_folders.h"

namespace vk {
namespace {

namespace fs = std::filesystem;

constexpr int kSchemaVersion = 1;

// One row per form ever kept, so that its version numbers go on from the
// last one given even after the old versions were dropped.
constexpr const char* kSchema = R"sql(
CREATE TABLE forms(
  id INTEGER PRIMARY KEY,
  database TEXT NOT NULL COLLATE NOCASE,
  category TEXT NOT NULL COLLATE NOCASE,
  form TEXT NOT NULL COLLATE NOCASE,
  last_number INTEGER NOT NULL DEFAULT 0,
  UNIQUE(database, category, form));
CREATE TABLE versions(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  form_id INTEGER NOT NULL REFERENCES forms(id),
  number INTEGER NOT NULL,
  saved_at INTEGER NOT NULL,
  size INTEGER NOT NULL,
  checksum INTEGER NOT NULL,
  source TEXT NOT NULL CHECK(source IN ('checked in', 'loaded', 'merged')),
  text BLOB NOT NULL,
  UNIQUE(form_id, number));
)sql";

constexpr std::array<std::pair<VersionSource, std::string_view>, 3> kSourceNames = {{
    {VersionSource::CheckedIn, "checked in"},
    {VersionSource::Loaded, "loaded"},
    {VersionSource::Merged, "merged"},
}};

// The file is damaged or is not a SQLite database: set aside and start anew.
class EHistoryDamaged : public EHistoryFailed {
    using EHistoryFailed::EHistoryFailed;
};

[[noreturn]] void Fail(sqlite3* db, std::string_view what) {
    const std::string why = db ? sqlite3_errmsg(db) : "out of memory";
    const int code = db ? (sqlite3_errcode(db) & 0xFF) : SQLITE_NOMEM;
    if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB) throw EHistoryDamaged(why);
    throw EHistoryFailed(std::string(what) + ": " + why);
}

// A prepared statement, finalised on every path.
class Statement {
public:
    Statement(sqlite3* db, std::string_view sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
            SQLITE_OK)
            Fail(db, "The local history cannot be read");
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Text(int index, std::string_view text) {
        Check(sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                                SQLITE_TRANSIENT));
        return *this;
    }
    // An empty text is an empty blob, not NULL.
    Statement& Blob(int index, std::string_view bytes) {
        Check(bytes.empty() ? sqlite3_bind_zeroblob(stmt_, index, 0)
                            : sqlite3_bind_blob64(stmt_, index, bytes.data(), bytes.size(),
                                                  SQLITE_TRANSIENT));
        return *this;
    }
    Statement& Int(int index, std::int64_t value) {
        Check(sqlite3_bind_int64(stmt_, index, value));
        return *this;
    }
    Statement& Form(const FormLocation& form) {
        return Text(1, form.database).Text(2, form.category).Text(3, form.form);
    }

    // True while a row is there.
    bool Step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        Fail(db_, "The local history cannot be used");
    }
    void Run() {
        while (Step()) {
        }
        sqlite3_reset(stmt_);
    }
    void Reset() { sqlite3_reset(stmt_); }

    [[nodiscard]] std::int64_t Integer(int column) const {
        return sqlite3_column_int64(stmt_, column);
    }
    [[nodiscard]] std::string Bytes(int column) const {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
        const int size = sqlite3_column_bytes(stmt_, column);
        return data ? std::string(data, static_cast<std::size_t>(size)) : std::string();
    }

private:
    void Check(int rc) {
        if (rc != SQLITE_OK) Fail(db_, "The local history cannot be written");
    }

    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

void Exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(db, "The local history cannot be written");
}

// Rolls back unless committed, also when an exception leaves the scope. The
// write lock is taken at the start, so two programs adding at once wait for
// each other instead of failing half-way.
class Transaction {
public:
    explicit Transaction(sqlite3* db) : db_(db) { Exec(db_, "BEGIN IMMEDIATE"); }
    ~Transaction() {
        if (!done_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit() {
        Exec(db_, "COMMIT");
        done_ = true;
    }

private:
    sqlite3* db_;
    bool done_ = false;
};

std::int64_t UserVersion(sqlite3* db) {
    Statement version(db, "PRAGMA user_version");
    return version.Step() ? version.Integer(0) : 0;
}

// Gives a new, empty file the schema; a file of ours is left as it is.
void PrepareSchema(sqlite3* db, const fs::path& file) {
    if (UserVersion(db) == kSchemaVersion) return;
    Transaction transaction(db);
    // Another program may have made it meanwhile.
    const std::int64_t version = UserVersion(db);
    if (version == kSchemaVersion) return;
    if (version > kSchemaVersion)
        throw EHistoryFailed("The local history " + file.string() +
                             " was made by a newer Vellumkit; it is left as it is");
    Statement tables(db, "SELECT count(*) FROM sqlite_master");
    if (version != 0 || (tables.Step() && tables.Integer(0) != 0))
        throw EHistoryDamaged("it is not a history of Vellumkit's");
    Exec(db, kSchema);
    Exec(db, ("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
    transaction.Commit();
}

// A new history file readable by the user alone (it holds scripts), made
// empty before SQLite writes anything into it.
void CreatePrivateFile(const fs::path& file) {
    std::error_code ec;
    if (fs::exists(file, ec) || ec) return;
    { std::ofstream{file, std::ios::binary}; }
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, ec);
}

// "<file>.damaged-20261211-100621", or with "-2", "-3" ... when taken.
fs::path AsideName(const fs::path& file) {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
#if defined(_WIN32)
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    char stamp[32] = {};
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
    const std::string base = file.string() + ".damaged-" + stamp;
    fs::path aside = base;
    std::error_code ec;
    for (int n = 2; fs::exists(aside, ec); ++n) aside = base + "-" + std::to_string(n);
    return aside;
}

VersionSource SourceFromName(const std::string& name) {
    for (const auto& [source, text] : kSourceNames)
        if (text == name) return source;
    throw EHistoryDamaged("a version has the unknown source \"" + name + "\"");
}

}  // namespace

std::string_view SourceName(VersionSource source) noexcept {
    for (const auto& [value, text] : kSourceNames)
        if (value == source) return text;
    return "unknown";
}

void HistoryStore::Closer::operator()(sqlite3* db) const noexcept { sqlite3_close(db); }

HistoryStore::HistoryStore(std::filesystem::path file, HistoryLimits limits, Report report)
    : file_(std::move(file)), limits_(limits), report_(std::move(report)) {}

HistoryStore::~HistoryStore() = default;

std::filesystem::path HistoryStore::DefaultFile() {
    return UserFolders::DataFolder() / "history.sqlite";
}

sqlite3* HistoryStore::Open() {
    if (db_) return db_.get();
    std::error_code ec;
    fs::create_directories(file_.parent_path(), ec);
    if (ec)
        throw EHistoryFailed("Cannot make the folder of the local history " +
                             file_.parent_path().string() + ": " + ec.message());
    CreatePrivateFile(file_);
    sqlite3* raw = nullptr;
#ifdef _WIN32
    // SQLite takes UTF-8 names; Windows keeps them as UTF-16.
    const std::u8string name = file_.u8string();
    const int rc = sqlite3_open_v2(reinterpret_cast<const char*>(name.c_str()), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
#else
    const int rc =
        sqlite3_open_v2(file_.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
#endif
    Database db(raw);
    if (rc != SQLITE_OK) {
        const std::string why = raw ? sqlite3_errmsg(raw) : "out of memory";
        throw EHistoryFailed("Cannot open the local history " + file_.string() + ": " + why);
    }
    // The editor and the command-line tool may add at the same moment.
    sqlite3_busy_timeout(db.get(), 5000);
    PrepareSchema(db.get(), file_);
    db_ = std::move(db);
    return db_.get();
}

void HistoryStore::SetAside(const std::string& why) {
    db_.reset();
    const fs::path aside = AsideName(file_);
    std::error_code ec;
    fs::rename(file_, aside, ec);
    if (ec)
        throw EHistoryFailed("The local history " + file_.string() + " is damaged (" + why +
                             ") and cannot be moved aside: " + ec.message());
    // A journal left by a program that stopped half-way belongs to that file.
    const fs::path journal = file_.string() + "-journal";
    if (fs::exists(journal, ec)) fs::rename(journal, aside.string() + "-journal", ec);
    if (report_)
        report_("The local history " + file_.string() + " could not be read (" + why +
                "). It was moved to " + aside.string() + " and a new history was started.");
}

template <typename Work>
auto HistoryStore::Use(Work&& work) {
    try {
        return work(Open());
    } catch (const EHistoryDamaged& e) {
        SetAside(e.what());
    }
    try {
        return work(Open());
    } catch (const EHistoryDamaged& e) {
        throw EHistoryFailed(e.what());
    }
}

std::int64_t HistoryStore::Add(const FormLocation& form, std::string_view text,
                               VersionSource source, std::int64_t time) {
    return *AddVersion(form, text, source, time, false);
}

std::optional<std::int64_t> HistoryStore::AddIfChanged(const FormLocation& form,
                                                       std::string_view text, VersionSource source,
                                                       std::int64_t time) {
    return AddVersion(form, text, source, time, true);
}

std::optional<std::int64_t> HistoryStore::AddVersion(const FormLocation& form,
                                                     std::string_view text, VersionSource source,
                                                     std::int64_t time, bool onlyIfChanged) {
    return Use([&](sqlite3* db) -> std::optional<std::int64_t> {
        Transaction transaction(db);
        Statement(db, "INSERT OR IGNORE INTO forms(database, category, form) VALUES(?1, ?2, ?3)")
            .Form(form)
            .Run();
        Statement row(db,
                      "SELECT id, last_number FROM forms "
                      "WHERE database = ?1 AND category = ?2 AND form = ?3");
        if (!row.Form(form).Step()) throw EHistoryFailed("The local history lost a form's row");
        const std::int64_t formId = row.Integer(0);
        const std::int64_t number = row.Integer(1) + 1;

        if (onlyIfChanged) {
            Statement newest(db,
                             "SELECT text FROM versions WHERE form_id = ?1 "
                             "ORDER BY number DESC LIMIT 1");
            if (newest.Int(1, formId).Step() && newest.Bytes(0) == text) return std::nullopt;
        }

        const ScriptPrint print = PrintOf(text);
        Statement(db, "UPDATE forms SET last_number = ?2 WHERE id = ?1")
            .Int(1, formId)
            .Int(2, number)
            .Run();
        Statement(db,
                  "INSERT INTO versions(form_id, number, saved_at, size, checksum, source, text) "
                  "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)")
            .Int(1, formId)
            .Int(2, number)
            .Int(3, time)
            .Int(4, static_cast<std::int64_t>(print.size))
            .Int(5, print.checksum)
            .Text(6, SourceName(source))
            .Blob(7, text)
            .Run();
        const std::int64_t added = sqlite3_last_insert_rowid(db);
        Prune(db, formId, added);
        transaction.Commit();
        return number;
    });
}

// Drops the form's versions past the newest `versionsPerForm`, then the
// oldest versions of any form until the texts fit `totalBytes`; the version
// just added stays whatever the limits say.
void HistoryStore::Prune(sqlite3* db, std::int64_t formId, std::int64_t added) const {
    const auto keep = static_cast<std::int64_t>(std::max<std::size_t>(limits_.versionsPerForm, 1));
    Statement(db,
              "DELETE FROM versions WHERE form_id = ?1 AND number <= "
              "(SELECT number FROM versions WHERE form_id = ?1 "
              " ORDER BY number DESC LIMIT 1 OFFSET ?2)")
        .Int(1, formId)
        .Int(2, keep)
        .Run();

    Statement sum(db, "SELECT coalesce(sum(size), 0) FROM versions");
    std::uint64_t total = sum.Step() ? static_cast<std::uint64_t>(sum.Integer(0)) : 0;
    if (total <= limits_.totalBytes) return;
    std::vector<std::int64_t> dropped;
    {
        Statement oldest(db, "SELECT id, size FROM versions WHERE id <> ?1 ORDER BY id");
        oldest.Int(1, added);
        while (total > limits_.totalBytes && oldest.Step()) {
            dropped.push_back(oldest.Integer(0));
            total -= static_cast<std::uint64_t>(oldest.Integer(1));
        }
    }
    Statement drop(db, "DELETE FROM versions WHERE id = ?1");
    for (const std::int64_t id : dropped) {
        drop.Int(1, id).Run();
    }
}

std::vector<HistoryVersion> HistoryStore::Versions(const FormLocation& form) {
    return Use([&](sqlite3* db) {
        Statement rows(db,
                       "SELECT v.number, v.saved_at, v.size, v.checksum, v.source "
                       "FROM versions v JOIN forms f ON v.form_id = f.id "
                       "WHERE f.database = ?1 AND f.category = ?2 AND f.form = ?3 "
                       "ORDER BY v.number");
        rows.Form(form);
        std::vector<HistoryVersion> versions;
        while (rows.Step()) {
            versions.push_back(
                {rows.Integer(0), rows.Integer(1), static_cast<std::uint64_t>(rows.Integer(2)),
                 static_cast<std::uint32_t>(rows.Integer(3)), SourceFromName(rows.Bytes(4))});
        }
        return versions;
    });
}

std::optional<std::string> HistoryStore::Text(const FormLocation& form, std::int64_t number) {
    return Use([&](sqlite3* db) -> std::optional<std::string> {
        Statement row(db,
                      "SELECT v.text FROM versions v JOIN forms f ON v.form_id = f.id "
                      "WHERE f.database = ?1 AND f.category = ?2 AND f.form = ?3 "
                      "AND v.number = ?4");
        if (!row.Form(form).Int(4, number).Step()) return std::nullopt;
        return row.Bytes(0);
    });
}

}  // namespace vk
