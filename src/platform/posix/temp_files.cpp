#include "platform/temp_files.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace vk {

namespace {
constexpr std::string_view kSuffix = ".tmp";
}  // namespace

std::filesystem::path TempFiles::Folder() {
    const char* folder = ::getenv("TMPDIR");
    return (folder && *folder) ? std::filesystem::path(folder) : std::filesystem::path("/tmp");
}

std::optional<std::string> TempFiles::CreateTempFile(std::string_view prefix) {
    std::string name = (Folder() / prefix).string();
    name += "XXXXXX";
    name += kSuffix;
    // mkstemps creates the file with mode 0600 and never reuses a name.
    const int fd = ::mkostemps(name.data(), static_cast<int>(kSuffix.size()), O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    ::close(fd);
    return name;
}

bool TempFiles::DeleteFile(std::string_view path) {
    return ::unlink(std::string(path).c_str()) == 0;
}

}  // namespace vk
