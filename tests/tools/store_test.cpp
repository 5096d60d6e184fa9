#include "store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "support/test_support.h"

namespace vk::commence_server {
namespace {

constexpr const char* kData = R"sql(
INSERT INTO categories(name) VALUES ('Account'), ('Empty One');
INSERT INTO forms(category, name, script) VALUES
  ('Account', 'Account', CAST('old script' AS BLOB)),
  ('Account', 'Bare', NULL);
)sql";

class StoreTest : public testing::Test {
protected:
    void SetUp() override { CommenceStore::Create(file_, kData); }

    // Runs SQL on the file behind the store's back (a second connection).
    void Exec(const char* sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file_.string().c_str(), &db), SQLITE_OK);
        const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK) << sql;
    }

    test::TempDir dir_;
    std::filesystem::path file_ = dir_.path() / "commence.db";
};

// Regression: a check-in whose log entry cannot be written must not leave
// the new script stored without it (or half of anything).
TEST_F(StoreTest, CheckInIsAllOrNothing) {
    Exec(
        "CREATE TRIGGER log_fails BEFORE INSERT ON script_log "
        "BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    CommenceStore store(file_);
    EXPECT_EQ(store.StoreFormScript("Account", "Account", "new script"), StoreError::Storage);
    EXPECT_EQ(store.FormScript("Account", "Account").value, "old script");

    Exec("DROP TRIGGER log_fails");
    EXPECT_EQ(store.StoreFormScript("Account", "Account", "new script"), StoreError::None);
    EXPECT_EQ(store.FormScript("Account", "Account").value, "new script");
}

TEST_F(StoreTest, CheckInKeepsBytesAndTellsEmptyFromDefault) {
    CommenceStore store(file_);
    std::string bytes;
    for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
    ASSERT_EQ(store.StoreFormScript("Account", "Account", bytes), StoreError::None);
    EXPECT_EQ(store.FormScript("Account", "Account").value, bytes);

    // An empty script is the form's own, not "none" (which brings the default).
    EXPECT_EQ(store.FormScript("Account", "Bare").value, std::nullopt);
    ASSERT_EQ(store.StoreFormScript("Account", "Bare", ""), StoreError::None);
    EXPECT_EQ(store.FormScript("Account", "Bare").value, std::optional<std::string>(""));
}

TEST_F(StoreTest, NamesTheMissingCategoryOrForm) {
    CommenceStore store(file_);
    EXPECT_EQ(store.StoreFormScript("Nope", "Account", "x"), StoreError::InvalidCategory);
    EXPECT_EQ(store.StoreFormScript("Account", "Nope", "x"), StoreError::InvalidForm);
    EXPECT_EQ(store.StoreFormScript("Empty One", "Account", "x"), StoreError::InvalidForm);
    EXPECT_EQ(store.FormNames("Empty One").value, std::vector<std::string>{});
    EXPECT_TRUE(store.FormNames("Empty One").ok());
    // Names compare without regard to case, as Commence's do.
    EXPECT_EQ(store.FormScript("ACCOUNT", "account").value, "old script");
}

TEST(StoreCreateTest, BadDataLeavesNoFile) {
    test::TempDir dir;
    const auto file = dir.path() / "commence.db";
    EXPECT_THROW(
        CommenceStore::Create(file, "INSERT INTO forms(category, name) VALUES ('No such', 'x');"),
        StoreFailure);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_THROW(CommenceStore store(file), StoreFailure);
}

TEST(StoreCreateTest, RefusesFilesOfAnotherKind) {
    test::TempDir dir;
    const auto file = dir.path() / "other.db";
    test::WriteFileBytes(file, "");
    EXPECT_THROW(CommenceStore store(file), StoreFailure);        // empty: no schema
    EXPECT_THROW(CommenceStore::Create(file, ""), StoreFailure);  // never overwritten
}

}  // namespace
}  // namespace vk::commence_server
