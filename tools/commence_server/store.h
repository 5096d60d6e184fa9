#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace vk::commence_server {

// Why a lookup or a check-in did not succeed. The values are the codes a
// client reads with [GetLastError]; 0, 1 and 2 are the ones Commence clients
// test for.
enum class StoreError : int {
    None = 0,
    InvalidCategory = 1,
    InvalidForm = 2,
    InvalidField = 3,
    FileAccess = 4,  // the script file could not be read or written
    Storage = 5,     // the database file refused the operation
    InvalidCommand = 6,
    ChangedSince = 7,  // a conditional check-in found another script: nothing stored
    NoValue = 126,     // a preference without a value (no user name)
};

// A store operation failed inside SQLite (a damaged or locked file).
class StoreFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

template <typename T>
struct Lookup {
    StoreError error = StoreError::None;
    T value{};

    [[nodiscard]] bool ok() const { return error == StoreError::None; }
};

struct FieldDefinition {
    int type = 0;            // the Commence field type number
    std::string definition;  // the lines after the type number, CR LF between
};

struct ConnectionEntry {
    std::string name;
    std::string category;  // the category at the other end
};

// One Commence database: the SQLite file in the database's folder. Names of
// categories, fields and forms compare without regard to ASCII case, as
// Commence's do; every list keeps the order in which it was defined. Text is
// single-byte (Windows-1252) and scripts are kept byte for byte.
class CommenceStore {
public:
    static constexpr std::string_view kFileName = "commence.db";

    // Opens an existing database file. Throws StoreFailure when the file is
    // missing, unreadable or not a database of this kind.
    explicit CommenceStore(const std::filesystem::path& file);
    ~CommenceStore();
    CommenceStore(const CommenceStore&) = delete;
    CommenceStore& operator=(const CommenceStore&) = delete;

    // Creates a new database file with the schema and fills it by running
    // `dataSql` (INSERT statements) in the same transaction, so a failed fill
    // leaves no file behind. Throws StoreFailure; an existing file is refused.
    static void Create(const std::filesystem::path& file, std::string_view dataSql);

    [[nodiscard]] std::vector<std::string> CategoryNames();
    [[nodiscard]] Lookup<std::vector<std::string>> FormNames(std::string_view category);
    [[nodiscard]] Lookup<std::vector<std::string>> FieldNames(std::string_view category);
    [[nodiscard]] Lookup<FieldDefinition> FieldDefinitionOf(std::string_view category,
                                                            std::string_view field);
    // Connections are two-way: a connection from A to B is listed for both.
    [[nodiscard]] Lookup<std::vector<ConnectionEntry>> Connections(std::string_view category);
    [[nodiscard]] Lookup<std::vector<std::string>> ItemNames(std::string_view category);
    [[nodiscard]] std::optional<std::string> Preference(std::string_view name);

    // The form's own script, or nothing when it has none (Commence then
    // supplies its default script).
    [[nodiscard]] Lookup<std::optional<std::string>> FormScript(std::string_view category,
                                                                std::string_view form);

    // Stores a script in one transaction together with its log entry: the
    // script is stored whole or, on any failure, not at all (Storage).
    [[nodiscard]] StoreError StoreFormScript(std::string_view category, std::string_view form,
                                             std::string_view script);

private:
    [[nodiscard]] bool HasCategory(std::string_view category);
    [[nodiscard]] Lookup<std::vector<std::string>> NamesOf(std::string_view sql,
                                                           std::string_view category);

    struct Closer {
        void operator()(sqlite3* db) const noexcept;
    };
    std::unique_ptr<sqlite3, Closer> db_;
};

}  // namespace vk::commence_server
