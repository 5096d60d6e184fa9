#include "common/file_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>
#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include "support/test_support.h"

namespace vk {
namespace {

TEST(ReadWholeFileTest, GivesEveryByteOrSaysWhyNot) {
    test::TempDir dir;
    std::string everyByte;
    for (int round = 0; round < 300; ++round)  // past one read chunk
        for (int c = 0; c < 256; ++c) everyByte += static_cast<char>(c);
    test::WriteFileBytes(dir.path() / "bytes", everyByte);
    test::WriteFileBytes(dir.path() / "empty", "");

    EXPECT_EQ(ReadWholeFile(dir.path() / "bytes"), everyByte);
    EXPECT_EQ(ReadWholeFile(dir.path() / "empty"), std::string());

    const struct {
        const char* label;
        std::filesystem::path file;
        std::string error;
    } failures[] = {
        {"missing", dir.path() / "missing", "No such file or directory"},
        // Opening a folder succeeds; reading it fails. A stream would throw
        // here instead of failing the read.
        {"folder", dir.path(), "Is a directory"},
    };
    for (const auto& c : failures) {
        std::string error;
        EXPECT_EQ(ReadWholeFile(c.file, &error), std::nullopt) << c.label;
        EXPECT_EQ(error, c.error) << c.label;
    }
}

namespace fs = std::filesystem;

std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

#ifndef _WIN32
// Regression: a FIFO in place of a help file or of a pulled script hung the
// program in open(2), and a device fed it until memory ran out.
TEST(ReadRegularFileTest, RefusesAnythingButARegularFileWithoutWaiting) {
    test::TempDir dir;
    test::WriteFileBytes(dir.path() / "page.htm", "<H5>Syntax</H5>");
    ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
    const struct {
        const char* label;
        fs::path file;
        std::string error;
    } refused[] = {
        {"a FIFO nobody writes", dir.path() / "fifo", "not a regular file"},
        {"an endless device", "/dev/zero", "not a regular file"},
        {"a folder", dir.path(), "Is a directory"},
        {"nothing", dir.path() / "missing", "No such file or directory"},
    };
    for (const auto& c : refused) {
        std::string error;
        EXPECT_EQ(ReadRegularFile(c.file, &error), std::nullopt) << c.label;
        EXPECT_EQ(error, c.error) << c.label;
    }
    EXPECT_EQ(ReadRegularFile(dir.path() / "page.htm"), "<H5>Syntax</H5>");
    std::string error;
    EXPECT_EQ(ReadRegularFile(dir.path() / "page.htm", &error, 4), std::nullopt);
    EXPECT_EQ(error, "larger than 4 bytes");
}
#endif

// Regression: the file written beside was named after the file and 15 bytes
// longer, so a name the file system still took failed to be written.
TEST(WriteWholeFileAtomicallyTest, WritesAFileWhoseNameIsAsLongAsAllowed) {
    test::TempDir dir;
    const fs::path file = dir.path() / (std::string(251, 'F') + ".vbs");
    std::string error;
    ASSERT_TRUE(WriteWholeFileAtomically(file, "one", &error)) << error;
    ASSERT_TRUE(WriteWholeFileAtomically(file, "two", &error)) << error;
    EXPECT_EQ(ReadWholeFile(file), "two");
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{file.filename().string()});
}

#ifndef _WIN32
// Regression: run as root, `checkout -o /dev/full` replaced the device with
// a file, and a link given as the target was replaced by a file too.
TEST(WriteWholeFileAtomicallyTest, FollowsALinkAndRefusesWhatIsNoRegularFile) {
    test::TempDir dir;
    const fs::path real = dir.path() / "real.vbs";
    test::WriteFileBytes(real, "old");
    fs::create_directory(dir.path() / "links");
    fs::create_symlink("../real.vbs", dir.path() / "links" / "relative");
    fs::create_symlink(dir.path() / "links" / "relative", dir.path() / "chain");
    fs::create_symlink(dir.path() / "new.vbs", dir.path() / "dangling");

    ASSERT_TRUE(WriteWholeFileAtomically(dir.path() / "chain", "through a chain"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "chain"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "links" / "relative"));
    EXPECT_EQ(ReadWholeFile(real), "through a chain");
    ASSERT_TRUE(WriteWholeFileAtomically(dir.path() / "dangling", "made"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "dangling"));
    EXPECT_EQ(ReadWholeFile(dir.path() / "new.vbs"), "made");

    const fs::path fifo = dir.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path socketFile = dir.path() / "socket";
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketFile.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    const fs::path device = dir.path() / "null";
    const bool haveDevice = ::mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    fs::create_symlink(fifo, dir.path() / "to fifo");
    fs::create_symlink("loop", dir.path() / "loop");

    const struct {
        const char* label;
        fs::path target;
        std::string error;
    } refused[] = {
        {"a FIFO", fifo, "not a regular file"},
        {"a link to a FIFO", dir.path() / "to fifo", "not a regular file"},
        {"a socket", socketFile, "not a regular file"},
        // A device of our own: a test that failed must not replace a real one.
        {"a device", haveDevice ? device : fifo, "not a regular file"},
        {"a link to itself", dir.path() / "loop", "Too many levels of symbolic links"},
    };
    for (const auto& c : refused) {
        std::string error;
        EXPECT_FALSE(WriteWholeFileAtomically(c.target, "x", &error)) << c.label;
        EXPECT_EQ(error, c.error) << c.label;
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_socket(socketFile));
    if (haveDevice) {
        EXPECT_TRUE(fs::is_character_file(device));
    }
    std::vector<std::string> left = {"chain",   "dangling", "fifo",   "links",  "loop",
                                     "new.vbs", "real.vbs", "socket", "to fifo"};
    if (haveDevice) left.push_back("null");
    std::sort(left.begin(), left.end());
    EXPECT_EQ(NamesIn(dir.path()), left) << "nothing replaced, nothing left beside";
}
#endif

TEST(WriteWholeFileAtomicallyTest, ReplacesWholeKeepsModeAndLeavesNoTemporary) {
    test::TempDir dir;
    const auto file = dir.path() / "script.vbs";
    test::WriteFileBytes(file, std::string(100000, 'o'));
    std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    const std::string fresh("new\r\n\0\x80\xff", 8);

    ASSERT_TRUE(WriteWholeFileAtomically(file, fresh));
    EXPECT_EQ(ReadWholeFile(file), fresh);
    EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_write |
                                                               std::filesystem::perms::group_read);

    // A write that cannot happen says why and changes nothing.
    std::string error;
    EXPECT_FALSE(WriteWholeFileAtomically(dir.path() / "no folder" / "x.vbs", "x", &error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(WriteWholeFileAtomically(dir.path(), "x", &error)) << "a folder is no file";
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadWholeFile(file), fresh);

    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"script.vbs"});
}

}  // namespace
}  // namespace vk
