#include "common/file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

namespace vk {
namespace {

struct CloseFile {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};

std::optional<std::string> Failed(std::string* error) {
    if (error) *error = std::strerror(errno);
    return std::nullopt;
}

// fopen of the path in the system's own encoding (UTF-16 names on Windows,
// which fopen cannot take). Mode "wbx" creates a file that must not exist.
std::FILE* OpenFile(const std::filesystem::path& file, const char* mode) {
#ifdef _WIN32
    if (std::string_view(mode) == "wbx") {
        // The C runtime this links against knows no "x": the same with _wopen.
        const int fd = ::_wopen(file.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                                _S_IREAD | _S_IWRITE);
        if (fd < 0) return nullptr;
        std::FILE* out = ::_fdopen(fd, "wb");
        if (!out) ::_close(fd);
        return out;
    }
    const std::wstring wideMode(mode, mode + std::strlen(mode));
    return ::_wfopen(file.c_str(), wideMode.c_str());
#else
    return std::fopen(file.c_str(), mode);
#endif
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::string* error,
                                         std::size_t maxBytes) {
    errno = 0;
    const std::unique_ptr<std::FILE, CloseFile> in(OpenFile(file, "rb"));
    if (!in) return Failed(error);

    std::string bytes;
    std::error_code sizeUnknown;
    const auto expected = std::filesystem::file_size(file, sizeUnknown);
    const auto tooLarge = [&] {
        if (error) *error = "larger than " + std::to_string(maxBytes) + " bytes";
        return std::nullopt;
    };
    if (!sizeUnknown && expected > maxBytes) return tooLarge();
    if (!sizeUnknown) bytes.reserve(static_cast<std::size_t>(expected));

    char chunk[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, in.get());
        bytes.append(chunk, got);
        if (bytes.size() > maxBytes) return tooLarge();
        if (got == sizeof chunk) continue;
        if (std::ferror(in.get())) return Failed(error);
        return bytes;
    }
}

bool WriteWholeFile(const std::filesystem::path& file, std::string_view bytes,
                    std::string* error) {
    errno = 0;
    std::unique_ptr<std::FILE, CloseFile> out(OpenFile(file, "wb"));
    if (!out) {
        (void)Failed(error);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out.get()) == bytes.size() &&
                         std::fflush(out.get()) == 0;
    const int writeErrno = errno;
    if (std::fclose(out.release()) != 0 || !written) {
        if (error) *error = std::strerror(written ? errno : writeErrno);
        return false;
    }
    return true;
}

namespace {

// A new file beside `file` that no one else has opened: "x" makes fopen fail
// when the name exists, so two writers never share one.
std::unique_ptr<std::FILE, CloseFile> CreateBeside(const std::filesystem::path& file,
                                                   std::filesystem::path& created) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        created = file;
        created.replace_filename("." + file.filename().string() + "." +
                                 std::to_string(random() % 1000000000u) + ".tmp");
        errno = 0;
        std::unique_ptr<std::FILE, CloseFile> out(OpenFile(created, "wbx"));
        if (out || errno != EEXIST) return out;
    }
    return nullptr;
}

}  // namespace

bool WriteWholeFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                              std::string* error) {
    const auto fail = [error](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    std::filesystem::path temporary;
    std::unique_ptr<std::FILE, CloseFile> out = CreateBeside(file, temporary);
    if (!out) return fail(std::strerror(errno));

    const auto discard = [&temporary] {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    };
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out.get()) == bytes.size() &&
                         std::fflush(out.get()) == 0;
    const int writeErrno = errno;
    if (std::fclose(out.release()) != 0 || !written) {
        discard();
        return fail(std::strerror(written ? errno : writeErrno));
    }

    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (!ec && std::filesystem::exists(status))
        std::filesystem::permissions(temporary, status.permissions(), ec);
    std::filesystem::rename(temporary, file, ec);
    if (ec) {
        discard();
        return fail(ec.message());
    }
    return true;
}

}  // namespace vk
