#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vk::test {

// A fresh folder under the system temp folder, removed with its contents
// when the object goes out of scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Sets (or, with nullopt, unsets) an environment variable for the object's
// lifetime and restores the previous state afterwards.
class ScopedEnv {
public:
    ScopedEnv(std::string name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// Points the system's temporary folder at `folder` for the object's lifetime:
// TMPDIR, or TMP and TEMP on Windows.
class ScopedTempFolder {
public:
    explicit ScopedTempFolder(const std::filesystem::path& folder)
        : tmp_(kFirst, folder.string())
#ifdef _WIN32
          ,
          temp_("TEMP", folder.string())
#endif
    {
    }

private:
#ifdef _WIN32
    static constexpr const char* kFirst = "TMP";
    ScopedEnv tmp_;
    ScopedEnv temp_;
#else
    static constexpr const char* kFirst = "TMPDIR";
    ScopedEnv tmp_;
#endif
};

// Whole-file helpers for byte-exact checks.
std::string ReadFileBytes(const std::filesystem::path& file);
void WriteFileBytes(const std::filesystem::path& file, const std::string& bytes);

}  // namespace vk::test
