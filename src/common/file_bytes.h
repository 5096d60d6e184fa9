#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vk {

// The whole content of a file, byte for byte. Nothing when the file cannot be
// opened or read, and then `error`, when given, says why ("No such file or
// directory", "Is a directory"). Read errors come back as a result: a stream
// buffer would throw them from deep inside the read instead. With a
// `maxBytes`, a longer file (or an endless one, /dev/zero) is refused after
// reading at most one chunk past it, and `error` says "larger than N bytes".
[[nodiscard]] std::optional<std::string> ReadWholeFile(
    const std::filesystem::path& file, std::string* error = nullptr,
    std::size_t maxBytes = static_cast<std::size_t>(-1));

// ReadWholeFile for a file the program did not make and the user did not
// name (a help page, a script of a pulled folder, a manifest): anything but
// a regular file is refused without waiting on it, so a FIFO put in its place
// cannot hang the program, nor a device feed it forever. `error` says "not a
// regular file" (or "Is a directory").
[[nodiscard]] std::optional<std::string> ReadRegularFile(
    const std::filesystem::path& file, std::string* error = nullptr,
    std::size_t maxBytes = static_cast<std::size_t>(-1));

// Writes `bytes` over whatever the file held, in place. For files this
// process made for itself (a fresh temporary file another program is about
// to read); a file of the user's goes through WriteWholeFileAtomically.
// False when it fails, and then `error`, when given, says why.
[[nodiscard]] bool WriteWholeFile(const std::filesystem::path& file, std::string_view bytes,
                                  std::string* error = nullptr);

// Replaces a file's content with `bytes` so that a reader, a crash or a kill
// in between sees either the old content or the new, never a torn file: the
// bytes go to a new file beside it (".vk<random>.tmp", short, so that a name
// as long as the file system allows still has room for it), which is then
// renamed over it. An existing file's permissions are kept. A symbolic link
// stays a link: the file it leads to is the one replaced, beside itself. A
// device, FIFO, socket or folder in the file's place is refused ("not a
// regular file"), never replaced. False when it fails, and then `error`,
// when given, says why; the file is untouched and no temporary file is left
// behind, also when a termination signal ends the process in the middle.
[[nodiscard]] bool WriteWholeFileAtomically(const std::filesystem::path& file,
                                            std::string_view bytes, std::string* error = nullptr);

}  // namespace vk
