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
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/temp_files.h"

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

namespace {

// Reads what is left of an open file, refusing it past `maxBytes`.
std::optional<std::string> ReadOpenFile(std::FILE* in, std::optional<std::uintmax_t> expected,
                                        std::string* error, std::size_t maxBytes) {
    std::string bytes;
    const auto tooLarge = [&] {
        if (error) *error = "larger than " + std::to_string(maxBytes) + " bytes";
        return std::nullopt;
    };
    if (expected && *expected > maxBytes) return tooLarge();
    if (expected) bytes.reserve(static_cast<std::size_t>(*expected));

    char chunk[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, in);
        bytes.append(chunk, got);
        if (bytes.size() > maxBytes) return tooLarge();
        if (got == sizeof chunk) continue;
        if (std::ferror(in)) return Failed(error);
        return bytes;
    }
}

std::optional<std::string> NotRegular(std::string* error) {
    if (error) *error = "not a regular file";
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::string* error,
                                         std::size_t maxBytes) {
    errno = 0;
    const std::unique_ptr<std::FILE, CloseFile> in(OpenFile(file, "rb"));
    if (!in) return Failed(error);
    std::error_code sizeUnknown;
    const auto size = std::filesystem::file_size(file, sizeUnknown);
    return ReadOpenFile(in.get(), sizeUnknown ? std::nullopt : std::optional(size), error,
                        maxBytes);
}

std::optional<std::string> ReadRegularFile(const std::filesystem::path& file, std::string* error,
                                           std::size_t maxBytes) {
    errno = 0;
#ifdef _WIN32
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (std::filesystem::is_directory(status)) {
        if (error) *error = std::strerror(EISDIR);
        return std::nullopt;
    }
    if (!ec && !std::filesystem::is_regular_file(status)) return NotRegular(error);
    return ReadWholeFile(file, error, maxBytes);
#else
    // Opened without blocking: open(2) of a FIFO with no writer would wait.
    // What was opened is judged, not what the name showed a moment before.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return Failed(error);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const bool folder = S_ISDIR(info.st_mode);
        ::close(fd);
        if (folder && error) *error = std::strerror(EISDIR);
        return folder ? std::nullopt : NotRegular(error);
    }
    (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const std::unique_ptr<std::FILE, CloseFile> in(::fdopen(fd, "rb"));
    if (!in) {
        ::close(fd);
        return Failed(error);
    }
    return ReadOpenFile(in.get(), static_cast<std::uintmax_t>(info.st_size), error, maxBytes);
#endif
}

bool WriteWholeFile(const std::filesystem::path& file, std::string_view bytes, std::string* error) {
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

// The file a path leads to: a symbolic link is followed (a relative target
// from the link's folder) until something that is no link, or nothing, is
// there. Nothing when the links go round in a circle.
std::optional<std::filesystem::path> LinkTarget(std::filesystem::path file) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(file, ec))) return file;
        const std::filesystem::path target = std::filesystem::read_symlink(file, ec);
        if (ec) return std::nullopt;
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return std::nullopt;
}

// A new file beside `file` that no one else has opened: "x" makes fopen fail
// when the name exists, so two writers never share one. The name is short
// (".vk" and eight hexadecimal digits), whatever the length of the file's.
std::unique_ptr<std::FILE, CloseFile> CreateBeside(const std::filesystem::path& file,
                                                   std::filesystem::path& created) {
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[16];
        std::snprintf(name, sizeof name, ".vk%08x.tmp", static_cast<unsigned>(random()));
        created = file;
        created.replace_filename(name);
        errno = 0;
        std::unique_ptr<std::FILE, CloseFile> out(OpenFile(created, "wbx"));
        if (out) TempFiles::Track(created.string());
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
    // A link named as the file stays a link; the file it leads to is the one
    // replaced. Anything but a regular file there is refused, so that a
    // device or a FIFO is never replaced by a file of its name.
    const std::optional<std::filesystem::path> target = LinkTarget(file);
    if (!target) return fail(std::strerror(ELOOP));
    std::error_code ec;
    const auto status = std::filesystem::status(*target, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return fail(std::filesystem::is_directory(status) ? std::strerror(EISDIR)
                                                          : "not a regular file");

    std::filesystem::path temporary;
    std::unique_ptr<std::FILE, CloseFile> out = CreateBeside(*target, temporary);
    if (!out) return fail(std::strerror(errno));

    const auto discard = [&temporary] { TempFiles::DeleteFile(temporary.string()); };
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out.get()) == bytes.size() &&
                         std::fflush(out.get()) == 0;
    const int writeErrno = errno;
    if (std::fclose(out.release()) != 0 || !written) {
        discard();
        return fail(std::strerror(written ? errno : writeErrno));
    }

    if (std::filesystem::exists(status))
        std::filesystem::permissions(temporary, status.permissions(), ec);
    std::filesystem::rename(temporary, *target, ec);
    if (ec) {
        discard();
        return fail(ec.message());
    }
    TempFiles::Untrack(temporary.string());
    return true;
}

}  // namespace vk
