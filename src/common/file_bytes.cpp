#include "common/file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace vk {
namespace {

struct CloseFile {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};

std::optional<std::string> Failed(std::string* error) {
    if (error) *error = std::strerror(errno);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::string* error) {
    errno = 0;
    const std::unique_ptr<std::FILE, CloseFile> in(std::fopen(file.c_str(), "rb"));
    if (!in) return Failed(error);

    std::string bytes;
    std::error_code sizeUnknown;
    const auto expected = std::filesystem::file_size(file, sizeUnknown);
    if (!sizeUnknown) bytes.reserve(static_cast<std::size_t>(expected));

    char chunk[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, in.get());
        bytes.append(chunk, got);
        if (got == sizeof chunk) continue;
        if (std::ferror(in.get())) return Failed(error);
        return bytes;
    }
}

}  // namespace vk
