#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

enum class Hive { CurrentUser, LocalMachine };

class RegistryStore;  // one hive's file; defined by the backend

// An open key. Reads come from the hive as it was last loaded or written;
// each write is carried through to the hive's file at once.
class RegistryKey {
public:
    RegistryKey(std::shared_ptr<RegistryStore> store, std::string path);

    const std::string& Path() const { return path_; }

    // A value that is missing or of another type reads as absent.
    [[nodiscard]] std::optional<std::uint32_t> ReadInteger(std::string_view name) const;
    [[nodiscard]] std::optional<std::string> ReadString(std::string_view name) const;
    [[nodiscard]] std::optional<std::vector<std::uint8_t>> ReadBinary(std::string_view name) const;

    // Returns false when the value could not be stored (for example the
    // hive's file could not be parsed and is kept untouched).
    bool WriteInteger(std::string_view name, std::uint32_t value);
    bool WriteString(std::string_view name, std::string_view value);
    bool WriteBinary(std::string_view name, const std::vector<std::uint8_t>& value);

    // The names of the key's direct subkeys, in a stable order (the order in
    // which they were created).
    [[nodiscard]] std::vector<std::string> SubkeyNames() const;

private:
    std::shared_ptr<RegistryStore> store_;
    std::string path_;
};

// Holds back the writes to one hive until it ends (or Commit is called), then
// carries them through in one go, merged into the hive as it is on disk then.
// Writes made meanwhile report true unless the hive is known to be unreadable;
// Commit reports whether they were stored. Batches may nest.
class RegistryBatch {
public:
    explicit RegistryBatch(std::shared_ptr<RegistryStore> store);
    ~RegistryBatch();
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;

    bool Commit();

private:
    std::shared_ptr<RegistryStore> store_;
};

// The two hives of the settings registry. Key paths use backslashes
// ("Software\Thornmere\Vellumkit") and compare without regard to ASCII case,
// as the Windows registry does.
class Registry {
public:
    // Opens the hives kept in `folder` (created on the first write).
    explicit Registry(std::filesystem::path folder);
    ~Registry();

    // $VELLUMKIT_REGISTRY_DIR, else $XDG_CONFIG_HOME/vellumkit (when
    // absolute), else $HOME/.config/vellumkit (the account's home when $HOME
    // is unset).
    [[nodiscard]] static std::filesystem::path DefaultFolder();

    // The process-wide registry at DefaultFolder(), opened on first use.
    static Registry& Instance();

    // Opens a key; with `create` the key and its parents are made when
    // absent. Returns nothing when the key does not exist (or cannot be
    // created).
    [[nodiscard]] std::optional<RegistryKey> OpenKey(Hive hive, std::string_view path,
                                                     bool create = false);

    // Why a hive's file could not be loaded ("file:line: reason", or
    // "file: cannot be read: reason"), if it could not. Such a file is never
    // overwritten; its hive reads as empty.
    [[nodiscard]] std::optional<std::string> LoadError(Hive hive) const;
    // The load errors of both hives, current user first; empty when both
    // files were read (or are still to be made). What a program reports at
    // start instead of quietly running on defaults.
    [[nodiscard]] std::vector<std::string> LoadErrors() const;

    // Holds back the writes to `hive` until the returned batch ends, so that
    // many values cost one file write (for example a whole settings save).
    [[nodiscard]] RegistryBatch BeginBatch(Hive hive);

    // Re-reads both hives from disk (another process may have written them).
    void Reload();

private:
    std::filesystem::path folder_;
    std::shared_ptr<RegistryStore> stores_[2];
};

}  // namespace vk
