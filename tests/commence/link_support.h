#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "commence/field_list.h"
#include "common/status_sink.h"
#include "support/commence_fixture.h"

namespace vk {

inline void PrintTo(const FieldListEntry& entry, std::ostream* out) {
    *out << '{' << ::testing::PrintToString(entry.text) << ", " << entry.tag << '}';
}

}  // namespace vk

namespace vk::test {

// Every status message in order, as (text, level).
class RecordingStatusSink final : public StatusSink {
public:
    void SetStatus(std::string_view text, int level) override {
        messages.emplace_back(std::string(text), level);
    }
    std::vector<std::pair<std::string, int>> messages;
};

// Shapes a demo database's content for a test (a reply ending in an empty
// name, a connection reply with an odd number of lines), through the
// server's own database file while no server has it open.
inline void ChangeDemoDatabase(const CommenceFixture& fixture, std::string_view database,
                               const std::string& sql) {
    const auto file = fixture.DatabaseFolder(database) / "commence.db";
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.string().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + file.string());
    }
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error(sql + ": " + message);
}

}  // namespace vk::test
