#include "store.h"

#include <fcntl.h>
#include <sqlite3.h>
#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

namespace vk::commence_server {
namespace {

constexpr int kSchemaVersion = 1;

// Categories, fields, connections, items, detail forms and their scripts.
// Lists keep their definition order through the rowid.
constexpr const char* kSchema = R"sql(
CREATE TABLE categories(
  name TEXT NOT NULL PRIMARY KEY COLLATE NOCASE);
CREATE TABLE fields(
  category TEXT NOT NULL COLLATE NOCASE REFERENCES categories(name),
  name TEXT NOT NULL COLLATE NOCASE,
  type INTEGER NOT NULL,
  definition TEXT NOT NULL DEFAULT '',
  PRIMARY KEY(category, name));
CREATE TABLE connections(
  name TEXT NOT NULL COLLATE NOCASE,
  from_category TEXT NOT NULL COLLATE NOCASE REFERENCES categories(name),
  to_category TEXT NOT NULL COLLATE NOCASE REFERENCES categories(name),
  UNIQUE(name, from_category, to_category));
CREATE TABLE items(
  category TEXT NOT NULL COLLATE NOCASE REFERENCES categories(name),
  name TEXT NOT NULL);
CREATE TABLE forms(
  category TEXT NOT NULL COLLATE NOCASE REFERENCES categories(name),
  name TEXT NOT NULL COLLATE NOCASE,
  script BLOB,
  revision INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY(category, name));
CREATE TABLE preferences(
  name TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,
  value TEXT NOT NULL);
CREATE TABLE script_log(
  category TEXT NOT NULL,
  form TEXT NOT NULL,
  revision INTEGER NOT NULL,
  size INTEGER NOT NULL,
  stored_at INTEGER NOT NULL);
)sql";

[[noreturn]] void fail(sqlite3* db, std::string_view what) {
    throw StoreFailure(std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

// A prepared statement, finalised on every path.
class Statement {
public:
    Statement(sqlite3* db, std::string_view sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
            SQLITE_OK)
            fail(db, "prepare");
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bindText(int index, std::string_view text) {
        check(sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                                SQLITE_TRANSIENT));
        return *this;
    }
    Statement& bindBlob(int index, std::string_view bytes) {
        // An empty script is an empty blob, not NULL: NULL means "no script of
        // its own", which would bring back the default script.
        if (bytes.empty())
            check(sqlite3_bind_zeroblob(stmt_, index, 0));
        else
            check(sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()),
                                    SQLITE_TRANSIENT));
        return *this;
    }
    Statement& bindInt(int index, std::int64_t value) {
        check(sqlite3_bind_int64(stmt_, index, value));
        return *this;
    }

    // True while a row is there.
    bool step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        fail(db_, "step");
    }
    void run() {
        while (step()) {
        }
    }

    bool isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
    std::int64_t integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    std::string bytes(int column) const {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
        const int size = sqlite3_column_bytes(stmt_, column);
        return data ? std::string(data, static_cast<std::size_t>(size)) : std::string();
    }

private:
    void check(int rc) {
        if (rc != SQLITE_OK) fail(db_, "bind");
    }

    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

void exec(sqlite3* db, const std::string& sql) {
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) fail(db, "exec");
}

// Rolls back unless committed, also when an exception leaves the scope.
class Transaction {
public:
    explicit Transaction(sqlite3* db) : db_(db) { exec(db_, "BEGIN IMMEDIATE"); }
    ~Transaction() {
        if (!done_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit() {
        exec(db_, "COMMIT");
        done_ = true;
    }

private:
    sqlite3* db_;
    bool done_ = false;
};

sqlite3* openFile(const std::filesystem::path& file, int flags) {
    sqlite3* db = nullptr;
#ifdef _WIN32
    // SQLite takes UTF-8 names; Windows keeps them as UTF-16.
    const std::u8string name = file.u8string();
    const int rc =
        sqlite3_open_v2(reinterpret_cast<const char*>(name.c_str()), &db, flags, nullptr);
#else
    const int rc = sqlite3_open_v2(file.c_str(), &db, flags, nullptr);
#endif
    if (rc != SQLITE_OK) {
        const std::string reason = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw StoreFailure("cannot open " + file.string() + ": " + reason);
    }
    // Another process (a second server, the setup) may hold a write lock for
    // a moment; wait for it rather than failing the client's transaction.
    sqlite3_busy_timeout(db, 5000);
    return db;
}

}  // namespace

void CommenceStore::Closer::operator()(sqlite3* db) const noexcept { sqlite3_close(db); }

CommenceStore::CommenceStore(const std::filesystem::path& file)
    : db_(openFile(file, SQLITE_OPEN_READWRITE)) {
    exec(db_.get(), "PRAGMA foreign_keys = ON");
    Statement version(db_.get(), "PRAGMA user_version");
    if (!version.step() || version.integer(0) != kSchemaVersion)
        throw StoreFailure(file.string() + " is not a Commence database");
}

CommenceStore::~CommenceStore() = default;

void CommenceStore::Create(const std::filesystem::path& file, std::string_view dataSql) {
    // Made here, empty and readable by the user alone (SQLite would make it
    // readable by everyone, and its journals take the file's mode); an
    // existing file is never taken over.
#ifdef _WIN32
    // The user's own folder keeps it private there; the name is UTF-16.
    const int fd = ::_wopen(file.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                            _S_IREAD | _S_IWRITE);
#else
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
#endif
    if (fd < 0) {
        if (errno == EEXIST) throw StoreFailure(file.string() + " already exists");
        throw StoreFailure("cannot create " + file.string() + ": " + std::strerror(errno));
    }
#ifdef _WIN32
    ::_close(fd);
#else
    ::close(fd);
#endif
    std::error_code ec;
    {
        std::unique_ptr<sqlite3, Closer> db(
            openFile(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE));
        try {
            exec(db.get(), "PRAGMA foreign_keys = ON");
            Transaction transaction(db.get());
            exec(db.get(), kSchema);
            exec(db.get(), std::string(dataSql));
            exec(db.get(), "PRAGMA user_version = " + std::to_string(kSchemaVersion));
            transaction.commit();
            return;
        } catch (const StoreFailure&) {
            db.reset();
            std::filesystem::remove(file, ec);
            throw;
        }
    }
}

bool CommenceStore::HasCategory(std::string_view category) {
    Statement query(db_.get(), "SELECT 1 FROM categories WHERE name = ?1");
    query.bindText(1, category);
    return query.step();
}

std::vector<std::string> CommenceStore::CategoryNames() {
    std::vector<std::string> names;
    Statement query(db_.get(), "SELECT name FROM categories ORDER BY rowid");
    while (query.step()) names.push_back(query.bytes(0));
    return names;
}

Lookup<std::vector<std::string>> CommenceStore::NamesOf(std::string_view sql,
                                                        std::string_view category) {
    if (!HasCategory(category)) return {StoreError::InvalidCategory, {}};
    Lookup<std::vector<std::string>> result;
    Statement query(db_.get(), sql);
    query.bindText(1, category);
    while (query.step()) result.value.push_back(query.bytes(0));
    return result;
}

Lookup<std::vector<std::string>> CommenceStore::FormNames(std::string_view category) {
    return NamesOf("SELECT name FROM forms WHERE category = ?1 ORDER BY rowid", category);
}

Lookup<std::vector<std::string>> CommenceStore::FieldNames(std::string_view category) {
    return NamesOf("SELECT name FROM fields WHERE category = ?1 ORDER BY rowid", category);
}

Lookup<std::vector<std::string>> CommenceStore::ItemNames(std::string_view category) {
    return NamesOf("SELECT name FROM items WHERE category = ?1 ORDER BY rowid", category);
}

Lookup<FieldDefinition> CommenceStore::FieldDefinitionOf(std::string_view category,
                                                         std::string_view field) {
    if (!HasCategory(category)) return {StoreError::InvalidCategory, {}};
    Statement query(db_.get(),
                    "SELECT type, definition FROM fields WHERE category = ?1 AND name = ?2");
    query.bindText(1, category).bindText(2, field);
    if (!query.step()) return {StoreError::InvalidField, {}};
    return {StoreError::None, {static_cast<int>(query.integer(0)), query.bytes(1)}};
}

Lookup<std::vector<ConnectionEntry>> CommenceStore::Connections(std::string_view category) {
    if (!HasCategory(category)) return {StoreError::InvalidCategory, {}};
    Lookup<std::vector<ConnectionEntry>> result;
    Statement query(db_.get(),
                    "SELECT name, CASE WHEN from_category = ?1 THEN to_category"
                    " ELSE from_category END FROM connections"
                    " WHERE from_category = ?1 OR to_category = ?1 ORDER BY rowid");
    query.bindText(1, category);
    while (query.step()) result.value.push_back({query.bytes(0), query.bytes(1)});
    return result;
}

std::optional<std::string> CommenceStore::Preference(std::string_view name) {
    Statement query(db_.get(), "SELECT value FROM preferences WHERE name = ?1");
    query.bindText(1, name);
    if (!query.step()) return std::nullopt;
    return query.bytes(0);
}

Lookup<std::optional<std::string>> CommenceStore::FormScript(std::string_view category,
                                                             std::string_view form) {
    if (!HasCategory(category)) return {StoreError::InvalidCategory, {}};
    Statement query(db_.get(), "SELECT script FROM forms WHERE category = ?1 AND name = ?2");
    query.bindText(1, category).bindText(2, form);
    if (!query.step()) return {StoreError::InvalidForm, {}};
    if (query.isNull(0)) return {StoreError::None, std::nullopt};
    return {StoreError::None, query.bytes(0)};
}

StoreError CommenceStore::StoreFormScript(std::string_view category, std::string_view form,
                                          std::string_view script) {
    if (!HasCategory(category)) return StoreError::InvalidCategory;
    try {
        Transaction transaction(db_.get());
        Statement update(db_.get(),
                         "UPDATE forms SET script = ?3, revision = revision + 1"
                         " WHERE category = ?1 AND name = ?2 RETURNING revision");
        update.bindText(1, category).bindText(2, form).bindBlob(3, script);
        if (!update.step()) return StoreError::InvalidForm;  // rolled back: nothing changed
        const std::int64_t revision = update.integer(0);
        update.run();

        const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count();
        Statement log(db_.get(),
                      "INSERT INTO script_log(category, form, revision, size, stored_at)"
                      " VALUES(?1, ?2, ?3, ?4, ?5)");
        log.bindText(1, category)
            .bindText(2, form)
            .bindInt(3, revision)
            .bindInt(4, static_cast<std::int64_t>(script.size()))
            .bindInt(5, now);
        log.run();
        transaction.commit();
        return StoreError::None;
    } catch (const StoreFailure&) {
        return StoreError::Storage;
    }
}

}  // namespace vk::commence_server
