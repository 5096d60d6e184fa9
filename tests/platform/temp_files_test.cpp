#include "platform/temp_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "support/test_support.h"

namespace vk {
namespace {

namespace fs = std::filesystem;

TEST(TempFiles, CreatesUniquePrivateEmptyFilesInTmpdir) {
    test::TempDir dir;
    test::ScopedEnv tmpdir("TMPDIR", dir.path().string());
    const auto first = TempFiles::CreateTempFile("VBS");
    const auto second = TempFiles::CreateTempFile("VBS");
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    for (const std::string& path : {*first, *second}) {
        EXPECT_EQ(fs::path(path).parent_path(), dir.path()) << path;
        EXPECT_TRUE(fs::path(path).filename().string().starts_with("VBS")) << path;
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0) << path;
        EXPECT_TRUE(S_ISREG(info.st_mode)) << path;
        EXPECT_EQ(info.st_mode & 0777, 0600u) << path;
        EXPECT_EQ(info.st_size, 0) << path;
    }
    EXPECT_TRUE(TempFiles::DeleteFile(*first));
    EXPECT_FALSE(fs::exists(*first));
    EXPECT_FALSE(TempFiles::DeleteFile(*first)) << "already gone";
    EXPECT_TRUE(fs::exists(*second));
}

TEST(TempFiles, FallsBackToTmpAndFailsInAMissingFolder) {
    {
        test::ScopedEnv tmpdir("TMPDIR", std::nullopt);
        EXPECT_EQ(TempFiles::Folder(), fs::path("/tmp"));
        const auto file = TempFiles::CreateTempFile("VBS");
        ASSERT_TRUE(file);
        EXPECT_EQ(fs::path(*file).parent_path(), fs::path("/tmp"));
        EXPECT_TRUE(TempFiles::DeleteFile(*file));
    }
    test::TempDir dir;
    test::ScopedEnv tmpdir("TMPDIR", (dir.path() / "missing").string());
    EXPECT_EQ(TempFiles::CreateTempFile("VBS"), std::nullopt);
}

// Regression: a command-line run ended by Ctrl+C or a kill once left its
// temporary script behind; SIGHUP (a closed terminal) was not handled at
// all, nor the file written beside a target that an atomic write replaces.
TEST(TempFiles, TerminationSignalsRemoveTheLiveFiles) {
    test::TempDir dir;
    test::TempDir beside;
    test::ScopedEnv tmpdir("TMPDIR", dir.path().string());
    const std::string tracked = (beside.path() / ".vk0000abcd.tmp").string();
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            TempFiles::RemoveOnTerminationSignals();
            const auto deleted = TempFiles::CreateTempFile("VBS");
            if (!deleted || !TempFiles::DeleteFile(*deleted)) ::_exit(2);
            const auto live = TempFiles::CreateTempFile("VBS");
            if (!live) ::_exit(2);
            test::WriteFileBytes(tracked, "half");
            TempFiles::Track(tracked);
            const std::string line = *live + "\n";
            if (::write(fds[1], line.data(), line.size()) < 0) ::_exit(2);
            for (;;) ::pause();
        }
        ::close(fds[1]);
        std::string path;
        char c = 0;
        while (::read(fds[0], &c, 1) == 1 && c != '\n') path += c;
        ::close(fds[0]);
        ASSERT_FALSE(path.empty());
        ASSERT_TRUE(fs::exists(path));
        ASSERT_TRUE(fs::exists(tracked));
        ASSERT_EQ(::kill(child, signal), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal)
            << "ends as the signal would";
        EXPECT_FALSE(fs::exists(path)) << signal;
        EXPECT_TRUE(fs::is_empty(dir.path())) << signal;
        EXPECT_TRUE(fs::is_empty(beside.path())) << signal;
    }
}

// What a kill -9 left goes at the next start, once it is a day old, and
// nothing else does: not a fresh file, not another program's, not another
// user's, not a link.
TEST(TempFiles, RemoveStaleTakesOnlyOldFilesOfOurOwnPattern) {
    test::TempDir dir;
    test::ScopedEnv tmpdir("TMPDIR", dir.path().string());
    const auto make = [&](const std::string& name, std::chrono::hours age) {
        const fs::path file = dir.path() / name;
        test::WriteFileBytes(file, "script");
        fs::last_write_time(file, fs::file_time_type::clock::now() - age);
        return file;
    };
    const auto old = std::chrono::hours(25);
    make("VBSa1B2c3.tmp", old);
    make("VBSzzzzzz.tmp", old);
    const fs::path fresh = make("VBSfresh1.tmp", std::chrono::hours(1));
    const fs::path otherPattern = make("VBSa1B2c3.txt", old);
    const fs::path otherName = make("VBSa1B2c3d.tmp", old);
    const fs::path otherProgram = make("XYZa1B2c3.tmp", old);
    const fs::path notOurs = make("VBSothers.tmp", old);
    const bool chowned = ::chown(notOurs.c_str(), ::geteuid() + 1, static_cast<gid_t>(-1)) == 0;
    fs::create_symlink(otherProgram, dir.path() / "VBSlink00.tmp");

    EXPECT_EQ(TempFiles::RemoveStale("VBS", kStaleTempFileAge), chowned ? 2 : 3);
    std::vector<fs::path> left;
    for (const auto& entry : fs::directory_iterator(dir.path())) left.push_back(entry.path());
    std::sort(left.begin(), left.end());
    std::vector<fs::path> expected = {fresh, otherPattern, otherName, otherProgram,
                                      dir.path() / "VBSlink00.tmp"};
    if (chowned) expected.push_back(notOurs);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
}

}  // namespace
}  // namespace vk
