#include "platform/temp_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
// temporary script behind.
TEST(TempFiles, TerminationSignalsRemoveTheLiveFiles) {
    test::TempDir dir;
    test::ScopedEnv tmpdir("TMPDIR", dir.path().string());
    for (const int signal : {SIGINT, SIGTERM}) {
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
        ASSERT_EQ(::kill(child, signal), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "ends as the signal would";
        EXPECT_FALSE(fs::exists(path)) << signal;
        EXPECT_TRUE(fs::is_empty(dir.path())) << signal;
    }
}

}  // namespace
}  // namespace vk
