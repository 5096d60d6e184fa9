// The registry kept as one REGEDIT4 text file per hive. Every write takes an
// exclusive lock on a lock file beside the hive, re-reads the hive if another
// process replaced or changed it since it was last read (so that its values
// are kept), applies the change and replaces the file by renaming a synced
// temporary file over it. A reader
// therefore always sees a whole file, old or new, and two running instances
// never drop each other's values.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/posix/unique_fd.h"
#include "platform/posix/user_account.h"
#include "platform/registry.h"
#include "platform/registry_format.h"
#include "platform/registry_hive.h"

namespace vk {

namespace {

namespace fs = std::filesystem;

using posix::UniqueFd;

std::string ErrnoText() { return std::strerror(errno); }

// What tells one version of a file from another: writers replace the file
// by a rename, which gives it a new inode, and an edit in place changes its
// size or times.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    static FileStamp Of(const struct stat& info) {
        return {true, info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
    }
    bool operator==(const FileStamp& o) const {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

// Nothing when the file cannot even be looked at (not when it is missing).
std::optional<FileStamp> StampOf(const fs::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) == 0) return FileStamp::Of(info);
    if (errno == ENOENT) return FileStamp{};
    return std::nullopt;
}

struct FileRead {
    std::string bytes;
    std::optional<std::string> error;  // why the file could not be read
    std::optional<FileStamp> stamp;    // of the version read
};

// A missing file reads as empty. The stamp comes from the descriptor the
// bytes are read through, so it names the very version read, which a read by
// path (common/file_bytes) could not promise.
FileRead ReadVersion(const fs::path& file) {
    FileRead result;
    // Opened without waiting: a FIFO in the file's place must not hang the
    // program at start, nor a device feed it forever.
    UniqueFd fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.Valid()) {
        if (errno != ENOENT)
            result.error = file.string() + ": cannot be read: " + ErrnoText();
        else
            result.stamp = FileStamp{};
        return result;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) == 0) result.stamp = FileStamp::Of(info);
    if (!S_ISREG(info.st_mode)) {
        result.error = file.string() + ": cannot be read: " +
                       (S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : "not a regular file");
        return result;
    }
    // A file that is there but empty is one cut short (the program never
    // writes one without its header): kept, and not taken for no settings.
    if (info.st_size == 0) {
        result.error = file.string() + ": cannot be read: it is empty, as a file cut short is";
        return result;
    }
    char buffer[16384];
    while (true) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            result.error = file.string() + ": cannot be read: " + ErrnoText();
            result.bytes.clear();
            break;
        }
        result.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return result;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Replaces `file` with `bytes` so that the file is at every moment either
// wholly old or wholly new, also across a crash.
bool ReplaceFileAtomically(const fs::path& file, std::string_view bytes) {
    std::string temp = file.string() + ".XXXXXX";
    UniqueFd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (!fd.Valid()) return false;
    struct stat existing {};
    const mode_t mode = ::stat(file.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0600;
    const bool written = ::fchmod(fd.Get(), mode) == 0 && WriteAll(fd.Get(), bytes) &&
                         ::fsync(fd.Get()) == 0 && fd.Close() &&
                         ::rename(temp.c_str(), file.c_str()) == 0;
    if (!written) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable.
    UniqueFd folder(::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Valid()) ::fsync(folder.Get());
    return true;
}

// Holds an exclusive advisory lock on a file for its lifetime.
class ExclusiveLock {
public:
    explicit ExclusiveLock(const fs::path& lockFile)
        : fd_(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (!fd_.Valid()) return;
        int rc;
        do rc = ::flock(fd_.Get(), LOCK_EX);
        while (rc != 0 && errno == EINTR);
        locked_ = rc == 0;
    }
    ~ExclusiveLock() {
        if (locked_) ::flock(fd_.Get(), LOCK_UN);
    }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;
    bool Locked() const { return locked_; }

private:
    UniqueFd fd_;
    bool locked_ = false;
};

std::optional<std::string> NonEmptyEnv(const char* name) {
    const char* value = ::getenv(name);
    if (!value || !*value) return std::nullopt;
    return std::string(value);
}

fs::path HomeFromPasswordFile() {
    const auto account = posix::CurrentUserAccount();
    return account && !account->home.empty() ? fs::path(account->home) : fs::current_path();
}

}  // namespace

class RegistryStore {
public:
    RegistryStore(const fs::path& folder, std::string rootName)
        : folder_(folder),
          file_(folder / (rootName + ".reg")),
          lockFile_(folder / (rootName + ".reg.lock")),
          rootName_(std::move(rootName)) {}

    void Load() {
        std::lock_guard guard(mutex_);
        LoadLocked();
    }

    std::optional<std::string> LoadError() const {
        std::lock_guard guard(mutex_);
        return error_;
    }

    bool KeyExists(std::string_view path) const {
        std::lock_guard guard(mutex_);
        return hive_.KeyExists(path);
    }

    std::optional<RegValue> Value(std::string_view path, std::string_view name) const {
        std::lock_guard guard(mutex_);
        const RegValue* value = hive_.FindValue(path, name);
        return value ? std::optional<RegValue>(*value) : std::nullopt;
    }

    std::vector<std::string> SubkeyNames(std::string_view path) const {
        std::lock_guard guard(mutex_);
        return hive_.SubkeyNames(path);
    }

    bool CreateKey(std::string_view path) {
        return Update([path = std::string(path)](RegHive& hive) { hive.EnsureKey(path); });
    }

    bool SetValue(std::string_view path, RegValue value) {
        return Update([path = std::string(path), value = std::move(value)](RegHive& hive) {
            hive.SetValue(path, value);
        });
    }

    void BeginBatch() {
        std::lock_guard guard(mutex_);
        ++batchDepth_;
    }

    // Writes the changes held back since the outermost BeginBatch.
    bool EndBatch() {
        std::lock_guard guard(mutex_);
        if (batchDepth_ == 0 || --batchDepth_ > 0) return true;
        std::vector<Change> pending = std::exchange(pending_, {});
        if (pending.empty()) return true;
        return WriteChanges(pending, true);
    }

private:
    // Reads the file into hive_; a file that cannot be read or parsed leaves
    // an empty hive and the reason in error_.
    void LoadLocked() {
        hive_ = RegHive();
        FileRead read = ReadVersion(file_);
        stamp_ = read.stamp;
        error_ = read.error;
        if (error_) return;
        RegParseResult parsed = ParseRegFile(read.bytes, rootName_);
        if (parsed.error) {
            error_ = file_.string() + ":" + std::to_string(parsed.error->line) + ": " +
                     parsed.error->reason;
            return;
        }
        hive_ = std::move(parsed.hive);
    }

    using Change = std::function<void(RegHive&)>;

    // Applies one change to the hive as it is on disk now and writes it back;
    // inside a batch, applies it to the loaded hive and holds it back.
    bool Update(Change change) {
        std::lock_guard guard(mutex_);
        if (batchDepth_ > 0) {
            if (error_) return false;
            change(hive_);
            pending_.push_back(std::move(change));
            return true;
        }
        return WriteChanges({std::move(change)}, false);
    }

    // `heldBack`: the changes of a batch, already applied to hive_ (but not
    // to the file) as they came.
    bool WriteChanges(const std::vector<Change>& changes, bool heldBack) {
        std::error_code ignored;
        fs::create_directories(folder_, ignored);
        const ExclusiveLock lock(lockFile_);
        if (!lock.Locked()) return false;
        // The file as last read (or written) needs no second reading.
        const std::optional<FileStamp> now = StampOf(file_);
        const bool fresh = now && stamp_ && *now == *stamp_;
        if (!fresh) LoadLocked();
        // A file that could not be read is kept untouched: overwriting it
        // would throw away whatever the user had in it.
        if (error_) return false;
        RegHive changed = hive_;
        for (const Change& change : changes) change(changed);
        if (changed == hive_ && !(fresh && heldBack)) return true;
        if (!ReplaceFileAtomically(file_, FormatRegFile(changed, rootName_))) {
            // hive_ may hold held-back changes the file lacks: read it afresh
            // next time.
            stamp_.reset();
            return false;
        }
        hive_ = std::move(changed);
        stamp_ = StampOf(file_);
        return true;
    }

    mutable std::mutex mutex_;
    fs::path folder_;
    fs::path file_;
    fs::path lockFile_;
    std::string rootName_;
    RegHive hive_;
    std::optional<std::string> error_;
    std::optional<FileStamp> stamp_;  // of the file hive_ was read from or written to
    int batchDepth_ = 0;
    std::vector<Change> pending_;
};

RegistryKey::RegistryKey(std::shared_ptr<RegistryStore> store, std::string path)
    : store_(std::move(store)), path_(std::move(path)) {}

std::optional<std::uint32_t> RegistryKey::ReadInteger(std::string_view name) const {
    const std::optional<RegValue> value = store_->Value(path_, name);
    if (!value || value->type != static_cast<std::uint32_t>(RegType::Dword) ||
        value->data.size() != 4)
        return std::nullopt;
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i)
        number = (number << 8) | static_cast<unsigned char>(value->data[i]);
    return number;
}

std::optional<std::string> RegistryKey::ReadString(std::string_view name) const {
    std::optional<RegValue> value = store_->Value(path_, name);
    if (!value || value->type != static_cast<std::uint32_t>(RegType::String)) return std::nullopt;
    return std::move(value->data);
}

std::optional<std::vector<std::uint8_t>> RegistryKey::ReadBinary(std::string_view name) const {
    const std::optional<RegValue> value = store_->Value(path_, name);
    if (!value || value->type != static_cast<std::uint32_t>(RegType::Binary)) return std::nullopt;
    return std::vector<std::uint8_t>(value->data.begin(), value->data.end());
}

bool RegistryKey::WriteInteger(std::string_view name, std::uint32_t value) {
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return IsValidValueName(name) &&
           store_->SetValue(path_, RegValue{std::string(name),
                                            static_cast<std::uint32_t>(RegType::Dword), data});
}

bool RegistryKey::WriteString(std::string_view name, std::string_view value) {
    return IsValidValueName(name) &&
           store_->SetValue(path_,
                            RegValue{std::string(name), static_cast<std::uint32_t>(RegType::String),
                                     std::string(value)});
}

bool RegistryKey::WriteBinary(std::string_view name, const std::vector<std::uint8_t>& value) {
    return IsValidValueName(name) &&
           store_->SetValue(path_,
                            RegValue{std::string(name), static_cast<std::uint32_t>(RegType::Binary),
                                     std::string(value.begin(), value.end())});
}

std::vector<std::string> RegistryKey::SubkeyNames() const { return store_->SubkeyNames(path_); }

Registry::Registry(std::filesystem::path folder) : folder_(std::move(folder)) {
    stores_[static_cast<int>(Hive::CurrentUser)] =
        std::make_shared<RegistryStore>(folder_, "HKEY_CURRENT_USER");
    stores_[static_cast<int>(Hive::LocalMachine)] =
        std::make_shared<RegistryStore>(folder_, "HKEY_LOCAL_MACHINE");
    Reload();
}

Registry::~Registry() = default;

std::filesystem::path Registry::DefaultFolder() {
    if (auto folder = NonEmptyEnv("VELLUMKIT_REGISTRY_DIR")) return *folder;
    // A relative XDG_CONFIG_HOME is invalid and is ignored, as the XDG rules say.
    if (auto config = NonEmptyEnv("XDG_CONFIG_HOME"); config && fs::path(*config).is_absolute())
        return fs::path(*config) / "vellumkit";
    if (auto home = NonEmptyEnv("HOME")) return fs::path(*home) / ".config" / "vellumkit";
    return HomeFromPasswordFile() / ".config" / "vellumkit";
}

Registry& Registry::Instance() {
    static Registry registry(DefaultFolder());
    return registry;
}

std::optional<RegistryKey> Registry::OpenKey(Hive hive, std::string_view path, bool create) {
    if (!IsValidKeyPath(path)) return std::nullopt;
    const std::shared_ptr<RegistryStore>& store = stores_[static_cast<int>(hive)];
    if (!store->KeyExists(path) && !(create && store->CreateKey(path))) return std::nullopt;
    return RegistryKey(store, std::string(path));
}

std::optional<std::string> Registry::LoadError(Hive hive) const {
    return stores_[static_cast<int>(hive)]->LoadError();
}

std::vector<std::string> Registry::LoadErrors() const {
    std::vector<std::string> errors;
    for (const Hive hive : {Hive::CurrentUser, Hive::LocalMachine})
        if (auto error = LoadError(hive)) errors.push_back(std::move(*error));
    return errors;
}

RegistryBatch::RegistryBatch(std::shared_ptr<RegistryStore> store) : store_(std::move(store)) {
    store_->BeginBatch();
}

RegistryBatch::~RegistryBatch() { (void)Commit(); }

bool RegistryBatch::Commit() {
    if (!store_) return true;
    return std::exchange(store_, nullptr)->EndBatch();
}

RegistryBatch Registry::BeginBatch(Hive hive) {
    return RegistryBatch(stores_[static_cast<int>(hive)]);
}

void Registry::Reload() {
    for (const auto& store : stores_) store->Load();
}

}  // namespace vk
