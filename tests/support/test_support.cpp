#include "support/test_support.h"

#include <stdlib.h>

#include <fstream>
#include <random>
#include <stdexcept>

#include "common/file_bytes.h"

namespace vk::test {

#ifdef _WIN32
// Windows has no mkdtemp: a random name, made only if it is new.
TempDir::TempDir() {
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto folder = std::filesystem::temp_directory_path() /
                      ("vktest-" + std::to_string(seed() % 1000000000u));
        if (std::filesystem::create_directory(folder)) {
            path_ = std::move(folder);
            return;
        }
    }
    throw std::runtime_error("no temporary folder could be made");
}

namespace {
int setenv(const char* name, const char* value, int) { return _putenv_s(name, value); }
int unsetenv(const char* name) { return _putenv_s(name, ""); }
}  // namespace
#else
TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vktest-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}
#endif

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

ScopedEnv::ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
    if (const char* old = getenv(name_.c_str())) previous_ = old;
    if (value)
        setenv(name_.c_str(), value->c_str(), 1);
    else
        unsetenv(name_.c_str());
}

ScopedEnv::~ScopedEnv() {
    if (previous_)
        setenv(name_.c_str(), previous_->c_str(), 1);
    else
        unsetenv(name_.c_str());
}

std::string ReadFileBytes(const std::filesystem::path& file) {
    std::string error;
    std::optional<std::string> bytes = ReadWholeFile(file, &error);
    if (!bytes) throw std::runtime_error("cannot read " + file.string() + ": " + error);
    return std::move(*bytes);
}

void WriteFileBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + file.string());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace vk::test
