// The recovery files of unsaved changes: their format, and which of them a
// starting editor offers, against real files and locks in a temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "history/recovery_folder.h"
#include "history/recovery_record.h"
#include "platform/file_lock.h"
#include "support/test_support.h"

namespace vk {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

RecoveryRecord Record(std::string text, std::int64_t savedAt = 1'700'000'000) {
    return {{"Demo Sales", "Account", "Account (Short)"},
            savedAt,
            "Sub A\r\nEnd Sub\r\n",
            std::move(text)};
}

bool SameRecord(const RecoveryRecord& a, const RecoveryRecord& b) {
    return a.form.database == b.form.database && a.form.category == b.form.category &&
           a.form.form == b.form.form && a.savedAt == b.savedAt && a.base == b.base &&
           a.text == b.text;
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RecoveryRecordTest, KeepsEveryByteOfNamesAndTexts) {
    const std::vector<RecoveryRecord> records = {
        Record(""),
        Record(std::string("a\r\nb\nc\rd\0e\x80\xFF", 12)),
        {{"Name\nwith line end", "end\n", "text 3 00000000"}, 0, "", "end\n"},
    };
    for (const RecoveryRecord& record : records) {
        std::string why;
        const auto back = DecodeRecovery(EncodeRecovery(record), &why);
        ASSERT_TRUE(back) << why;
        EXPECT_TRUE(SameRecord(*back, record)) << record.text;
    }
}

TEST(RecoveryRecordTest, RefusesAnythingButAWholeRecord) {
    const std::string whole = EncodeRecovery(Record("Dim x\r\nx = 1\r\n"));
    // Every cut, however short, is refused: a part of a record is no record.
    for (std::size_t length = 0; length < whole.size(); ++length)
        EXPECT_FALSE(DecodeRecovery(whole.substr(0, length))) << "cut at " << length;

    std::string altered = whole;
    altered[altered.find("x = 1")] = 'y';
    std::string why;
    EXPECT_FALSE(DecodeRecovery(altered, &why));
    EXPECT_NE(why.find("checksum of \"text\""), std::string::npos) << why;
    EXPECT_FALSE(DecodeRecovery(whole + "more"));
    EXPECT_FALSE(DecodeRecovery("Vellumkit recovery 2\n"));
}

TEST(FileLockTest, OneHolderAtATimeAndFreeOnceReleased) {
    TempDir dir;
    const fs::path file = dir.path() / "x.lock";
    FileLock::Refusal refusal = FileLock::Refusal::Failed;
    std::optional<FileLock> first = FileLock::TryTake(file);
    ASSERT_TRUE(first);
    EXPECT_FALSE(FileLock::TryTake(file, &refusal)) << "held, also within one process";
    EXPECT_EQ(refusal, FileLock::Refusal::Held);
    first.reset();
    EXPECT_TRUE(FileLock::TryTake(file));
    EXPECT_FALSE(FileLock::TryTake(dir.path() / "no folder" / "x.lock", &refusal));
    EXPECT_EQ(refusal, FileLock::Refusal::Failed);
}

class RecoveryFolderTest : public ::testing::Test {
protected:
    TempDir dir;
    fs::path folder = dir.path() / "recovery";
    std::vector<std::string> reports;

    std::vector<RecoveryOrphan> Orphans() {
        return FindRecoveryOrphans(folder, [this](const std::string& r) { reports.push_back(r); });
    }
    // What an editor that was killed leaves: its record and its lock file,
    // which nobody holds any more.
    void LeftBehind(const std::string& id, const RecoveryRecord& record) {
        fs::create_directories(folder);
        WriteFileBytes(folder / (id + ".recovery"), EncodeRecovery(record));
        WriteFileBytes(folder / (id + ".lock"), "");
    }
};

TEST_F(RecoveryFolderTest, ARunningEditorsFileIsNotOfferedAndGoesWithANormalEnd) {
    {
        RecoverySession session(folder);
        session.Write(Record("first"));
        session.Write(Record("second"));
        EXPECT_EQ(DecodeRecovery(ReadFileBytes(session.File()))->text, "second");
        EXPECT_TRUE(Orphans().empty()) << "its editor still runs";
        session.Remove();
        EXPECT_FALSE(fs::exists(session.File()));
        session.Write(Record("third"));
    }
    EXPECT_TRUE(Names(folder).empty()) << "a normal end leaves nothing";
#ifndef _WIN32
    EXPECT_EQ(fs::status(folder).permissions() & (fs::perms::group_all | fs::perms::others_all),
              fs::perms::none)
        << "unsaved scripts are the user's alone";
#endif
}

TEST_F(RecoveryFolderTest, OffersWhatGoneEditorsLeftNewestFirstAndCleansUp) {
    LeftBehind("older", Record("old text", 100));
    LeftBehind("newer", Record("new text", 200));
    // An editor killed while it wrote: its unfinished write stays beside.
    WriteFileBytes(folder / ".newer.recovery.12345.tmp", "Vellumkit recovery 1\ndatab");
    // One killed with nothing unsaved, and one killed during its first write.
    WriteFileBytes(folder / "clean.lock", "");
    WriteFileBytes(folder / "first.lock", "");
    WriteFileBytes(folder / ".first.recovery.99.tmp", "Vell");
    // A file that is no record is set aside, never deleted.
    WriteFileBytes(folder / "broken.recovery", "Vellumkit recovery 1\ndatabase 99\nDemo");
    RecoverySession running(folder);
    running.Write(Record("still being edited"));

    std::vector<RecoveryOrphan> orphans = Orphans();
    ASSERT_EQ(orphans.size(), 2u);
    EXPECT_EQ(orphans[0].Record().text, "new text");
    EXPECT_EQ(orphans[1].Record().text, "old text");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("broken.recovery"), std::string::npos) << reports[0];
    EXPECT_TRUE(fs::exists(folder / "broken.recovery.damaged"));

    // While one editor offers them, another starting does not.
    EXPECT_TRUE(Orphans().empty());

    orphans[0].Discard();
    orphans.clear();  // "not now" for the older one
    const std::string mine = running.File().stem().string();
    std::vector<std::string> expected = {"broken.recovery.damaged", mine + ".lock",
                                         mine + ".recovery", "older.lock", "older.recovery"};
    std::sort(expected.begin(), expected.end());  // the running editor's id is random
    EXPECT_EQ(Names(folder), expected);
    ASSERT_EQ(Orphans().size(), 1u) << "kept for the next start";
}

}  // namespace
}  // namespace vk
