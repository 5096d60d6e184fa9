// The local history against real SQLite files in a temporary folder.
#include "history/history_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "document/script_checksum.h"
#include "history/history_recorder.h"
#include "support/test_support.h"

namespace vk {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

const FormLocation kAccount{"Demo Sales", "Account", "Account (Short)"};
const FormLocation kContact{"Demo Sales", "Contact", "Contact"};

class HistoryStoreTest : public ::testing::Test {
protected:
    TempDir dir;
    fs::path file = dir.path() / "vellumkit" / "history.sqlite";
    std::vector<std::string> reports;

    HistoryStore Store(HistoryLimits limits = {}) {
        return HistoryStore(file, limits, [this](const std::string& r) { reports.push_back(r); });
    }

    static std::vector<std::int64_t> Numbers(HistoryStore& store, const FormLocation& form) {
        std::vector<std::int64_t> numbers;
        for (const HistoryVersion& v : store.Versions(form)) numbers.push_back(v.number);
        return numbers;
    }
};

TEST_F(HistoryStoreTest, KeepsEachVersionByteForByteWithItsRecord) {
    HistoryStore store = Store();
    const std::string bytes("Dim a\r\n' caf\xE9 \x80\0tail", 20);
    EXPECT_EQ(store.Add(kAccount, bytes, VersionSource::Loaded, 1000), 1);
    EXPECT_EQ(store.Add(kAccount, "", VersionSource::CheckedIn, 2000), 2);
    EXPECT_EQ(store.Add(kContact, "other", VersionSource::Merged, 3000), 1)
        << "numbers are per form";

    const auto versions = store.Versions(kAccount);
    ASSERT_EQ(versions.size(), 2u);
    EXPECT_EQ(versions[0].number, 1);
    EXPECT_EQ(versions[0].time, 1000);
    EXPECT_EQ(versions[0].size, bytes.size());
    EXPECT_EQ(versions[0].checksum, PrintOf(bytes).checksum);
    EXPECT_EQ(versions[0].source, VersionSource::Loaded);
    EXPECT_EQ(versions[1].source, VersionSource::CheckedIn);
    EXPECT_EQ(store.Text(kAccount, 1), bytes);
    EXPECT_EQ(store.Text(kAccount, 2), "") << "an empty script is kept, not lost";
    EXPECT_EQ(store.Text(kAccount, 3), std::nullopt);
    EXPECT_EQ(store.Text(kContact, 1), "other");

    // Commence compares names without regard to case, and so does the key.
    EXPECT_EQ(store.Versions({"demo sales", "ACCOUNT", "account (short)"}).size(), 2u);
    // Another program using the same file at the same time goes on from the
    // same numbers, and each sees what the other added.
    HistoryStore other = Store();
    EXPECT_EQ(other.Add(kAccount, "from elsewhere", VersionSource::CheckedIn, 2500), 3);
    EXPECT_EQ(Numbers(store, kAccount), (std::vector<std::int64_t>{1, 2, 3}));
    EXPECT_TRUE(reports.empty());
#ifndef _WIN32
    EXPECT_EQ(fs::status(file).permissions() & (fs::perms::group_all | fs::perms::others_all),
              fs::perms::none)
        << "the history holds scripts: the user's alone";
#endif
}

TEST_F(HistoryStoreTest, ALoadAddsAVersionOnlyWhenTheScriptChanged) {
    HistoryStore store = Store();
    EXPECT_EQ(store.AddIfChanged(kAccount, "v1", VersionSource::Loaded, 1), 1);
    EXPECT_EQ(store.AddIfChanged(kAccount, "v1", VersionSource::Loaded, 2), std::nullopt);
    EXPECT_EQ(store.Add(kAccount, "v2", VersionSource::CheckedIn, 3), 2);
    EXPECT_EQ(store.AddIfChanged(kAccount, "v2", VersionSource::Loaded, 4), std::nullopt);
    EXPECT_EQ(store.AddIfChanged(kAccount, "v1", VersionSource::Loaded, 5), 3)
        << "back to an older text is a change from the newest";
}

TEST_F(HistoryStoreTest, OldestVersionsGoFirstPastEitherLimit) {
    // Per form: the newest three stay, and numbers go on from the last one.
    {
        HistoryStore store = Store({3, 1'000'000});
        for (int i = 1; i <= 5; ++i)
            (void)store.Add(kAccount, "v" + std::to_string(i), VersionSource::CheckedIn, i);
        (void)store.Add(kContact, "c", VersionSource::CheckedIn, 9);
        EXPECT_EQ(Numbers(store, kAccount), (std::vector<std::int64_t>{3, 4, 5}));
        EXPECT_EQ(store.Text(kAccount, 5), "v5");
        EXPECT_EQ(Numbers(store, kContact), (std::vector<std::int64_t>{1}));
    }
    // In all: 10 bytes; each text is 4, so the oldest of any form go until
    // two are left; the newest stays even when it alone is too large.
    {
        file = dir.path() / "in-all" / "history.sqlite";
        HistoryStore store = Store({200, 10});
        (void)store.Add(kContact, "cccc", VersionSource::CheckedIn, 10);
        (void)store.Add(kAccount, "aaaa", VersionSource::CheckedIn, 11);
        (void)store.Add(kAccount, "bbbb", VersionSource::CheckedIn, 12);
        EXPECT_EQ(Numbers(store, kContact), (std::vector<std::int64_t>{}));
        EXPECT_EQ(Numbers(store, kAccount), (std::vector<std::int64_t>{1, 2}));
        EXPECT_EQ(store.Add(kAccount, std::string(50, 'x'), VersionSource::CheckedIn, 13), 3);
        EXPECT_EQ(Numbers(store, kAccount), (std::vector<std::int64_t>{3}));
        EXPECT_EQ(store.Add(kContact, "dd", VersionSource::CheckedIn, 14), 2)
            << "a form's numbers go on after all its versions were dropped";
    }
}

TEST_F(HistoryStoreTest, ADamagedFileIsReportedMovedAsideAndANewHistoryStarted) {
    const auto run = [&](const char* sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.string().c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    };
    const struct {
        const char* name;
        std::function<void()> damage;
    } cases[] = {
        {"not a database", [&] { test::WriteFileBytes(file, std::string(5000, 'x')); }},
        {"another program's database",
         [&] { run("CREATE TABLE notes(text); INSERT INTO notes VALUES('mine');"); }},
        {"a history with a damaged page",
         [&] {
             (void)HistoryStore(file, {}, nullptr).Add(kAccount, "old", VersionSource::Loaded, 1);
             std::string bytes = test::ReadFileBytes(file);
             ASSERT_GT(bytes.size(), 8192u);
             std::fill(bytes.begin() + 4096, bytes.begin() + 4196, 'z');  // a table's first page
             test::WriteFileBytes(file, bytes);
         }},
    };
    for (const auto& c : cases) {
        fs::remove_all(file.parent_path());
        fs::create_directories(file.parent_path());
        c.damage();
        const std::string damaged = test::ReadFileBytes(file);
        reports.clear();

        HistoryStore store = Store();
        EXPECT_EQ(store.Add(kAccount, "kept", VersionSource::CheckedIn, 1), 1) << c.name;
        EXPECT_EQ(store.Text(kAccount, 1), "kept") << c.name;
        ASSERT_EQ(reports.size(), 1u) << c.name;
        std::vector<fs::path> aside;
        for (const auto& entry : fs::directory_iterator(file.parent_path()))
            if (entry.path().filename().string().rfind("history.sqlite.damaged-", 0) == 0)
                aside.push_back(entry.path());
        ASSERT_EQ(aside.size(), 1u) << c.name;
        EXPECT_EQ(test::ReadFileBytes(aside[0]), damaged) << c.name << ": moved whole, not changed";
        EXPECT_NE(reports[0].find(aside[0].string()), std::string::npos) << reports[0];
    }
}

// A history from a newer program is not ours to move: it is left alone and
// refused.
TEST_F(HistoryStoreTest, AHistoryOfANewerVersionIsLeftAlone) {
    fs::create_directories(file.parent_path());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.string().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    HistoryStore store = Store();
    EXPECT_THROW((void)store.Versions(kAccount), EHistoryFailed);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()),
              1);
}

// Where the history cannot be written, every use fails with EHistoryFailed,
// and the recorder turns that into a warning instead of failing.
TEST_F(HistoryStoreTest, AnUnwritableHistoryIsAWarningNotAFailure) {
    struct Case {
        const char* name;
        fs::path file;
    };
    std::vector<Case> cases;
    // A folder that cannot be made: its parent is a file.
    test::WriteFileBytes(dir.path() / "plain-file", "x");
    cases.push_back(
        {"folder under a file", dir.path() / "plain-file" / "vellumkit" / "history.sqlite"});
    // A read-only folder (root writes there all the same, so it is only
    // tried where the folder really refuses).
    const fs::path readOnly = dir.path() / "read-only";
    fs::create_directories(readOnly);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
#ifndef _WIN32
    if (::access(readOnly.c_str(), W_OK) != 0)
        cases.push_back({"read-only folder", readOnly / "history.sqlite"});
#endif
    for (const Case& c : cases) {
        HistoryStore store(c.file, {}, nullptr);
        EXPECT_THROW((void)store.Add(kAccount, "x", VersionSource::CheckedIn, 1), EHistoryFailed)
            << c.name;

        std::vector<std::string> warnings;
        HistoryRecorder recorder(c.file, {}, [&](const std::string& w) { warnings.push_back(w); });
        recorder.CheckedIn(kAccount, "script");
        recorder.Loaded(kAccount, "script");
        ASSERT_EQ(warnings.size(), 2u) << c.name;
        EXPECT_EQ(warnings[0].rfind("The local history could not keep the script checked in: ", 0),
                  0u)
            << warnings[0];
    }
    fs::permissions(readOnly, fs::perms::owner_all);
}

}  // namespace
}  // namespace vk
