#include "platform/temp_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

}  // namespace
}  // namespace vk
