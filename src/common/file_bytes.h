#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vk {

// The whole content of a file, byte for byte. Nothing when the file cannot be
// opened or read, and then `error`, when given, says why ("No such file or
// directory", "Is a directory"). Read errors come back as a result: a stream
// buffer would throw them from deep inside the read instead.
[[nodiscard]] std::optional<std::string> ReadWholeFile(const std::filesystem::path& file,
                                                       std::string* error = nullptr);

}  // namespace vk
