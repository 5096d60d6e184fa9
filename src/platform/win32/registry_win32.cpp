// The registry over the Win32 registry API. Each write goes straight to the
// system's registry, which keeps it durable and shared between processes, so
// a batch only has to remember whether one of its writes failed.
//
// Registry(folder) with an empty folder opens HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE themselves. A folder (from VELLUMKIT_REGISTRY_DIR, which
// the tests and the demo setup use) names a private pair of hives instead,
// kept below HKEY_CURRENT_USER\Software\Vellumkit\Redirected\<folder>, so that
// a test run never touches the user's settings and needs no administrator
// rights for the machine hive.

#include <windows.h>

#include <cstdlib>
#include <mutex>
#include <utility>

#include "platform/registry.h"
#include "platform/registry_hive.h"

namespace vk {

namespace {

// Closes a registry key when it goes out of scope.
class KeyHandle {
public:
    KeyHandle() = default;
    ~KeyHandle() {
        if (key_) RegCloseKey(key_);
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;

    HKEY* Out() { return &key_; }
    [[nodiscard]] HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::string JoinPath(std::string_view base, std::string_view path) {
    if (base.empty()) return std::string(path);
    if (path.empty()) return std::string(base);
    return std::string(base) + "\\" + std::string(path);
}

// A folder as one key name: the registry takes every character but '\'.
std::string FolderKeyName(const std::filesystem::path& folder) {
    std::string name = folder.generic_string();
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

}  // namespace

class RegistryStore {
public:
    RegistryStore(HKEY root, std::string base) : root_(root), base_(std::move(base)) {}

    bool KeyExists(std::string_view path) const {
        KeyHandle key;
        return RegOpenKeyExA(root_, JoinPath(base_, path).c_str(), 0, KEY_READ, key.Out()) ==
               ERROR_SUCCESS;
    }

    bool CreateKey(std::string_view path) {
        KeyHandle key;
        return Record(RegCreateKeyExA(root_, JoinPath(base_, path).c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.Out(),
                                      nullptr) == ERROR_SUCCESS);
    }

    // The value's type and bytes; nothing when the key or value is missing.
    std::optional<std::pair<DWORD, std::string>> Value(std::string_view path,
                                                       std::string_view name) const {
        KeyHandle key;
        if (RegOpenKeyExA(root_, JoinPath(base_, path).c_str(), 0, KEY_QUERY_VALUE, key.Out()) !=
            ERROR_SUCCESS)
            return std::nullopt;
        const std::string valueName(name);
        // The value may grow between the size query and the read: ask again.
        for (int attempt = 0; attempt < 4; ++attempt) {
            DWORD type = 0;
            DWORD size = 0;
            if (RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS)
                return std::nullopt;
            std::string data(size, '\0');
            const LONG status =
                RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(data.data()), &size);
            if (status == ERROR_MORE_DATA) continue;
            if (status != ERROR_SUCCESS) return std::nullopt;
            data.resize(size);
            return std::make_pair(type, std::move(data));
        }
        return std::nullopt;
    }

    bool SetValue(std::string_view path, std::string_view name, DWORD type,
                  std::string_view data) {
        KeyHandle key;
        if (RegCreateKeyExA(root_, JoinPath(base_, path).c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.Out(),
                            nullptr) != ERROR_SUCCESS)
            return Record(false);
        return Record(RegSetValueExA(key.Get(), std::string(name).c_str(), 0, type,
                                     reinterpret_cast<const BYTE*>(data.data()),
                                     static_cast<DWORD>(data.size())) == ERROR_SUCCESS);
    }

    std::vector<std::string> SubkeyNames(std::string_view path) const {
        std::vector<std::string> names;
        KeyHandle key;
        if (RegOpenKeyExA(root_, JoinPath(base_, path).c_str(), 0, KEY_ENUMERATE_SUB_KEYS,
                          key.Out()) != ERROR_SUCCESS)
            return names;
        char name[256];  // a key name holds at most 255 characters
        for (DWORD index = 0;; ++index) {
            DWORD length = sizeof name;
            const LONG status =
                RegEnumKeyExA(key.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (status != ERROR_SUCCESS) break;
            names.emplace_back(name, length);
        }
        return names;
    }

    void BeginBatch() {
        const std::lock_guard lock(mutex_);
        if (batchDepth_++ == 0) batchFailed_ = false;
    }

    bool EndBatch() {
        const std::lock_guard lock(mutex_);
        if (batchDepth_ > 0) --batchDepth_;
        return !batchFailed_;
    }

private:
    bool Record(bool ok) {
        const std::lock_guard lock(mutex_);
        if (!ok && batchDepth_ > 0) batchFailed_ = true;
        return ok;
    }

    HKEY root_;
    std::string base_;  // the key below root_ where the hive starts; empty: root_ itself
    std::mutex mutex_;
    int batchDepth_ = 0;
    bool batchFailed_ = false;
};

RegistryKey::RegistryKey(std::shared_ptr<RegistryStore> store, std::string path)
    : store_(std::move(store)), path_(std::move(path)) {}

std::optional<std::uint32_t> RegistryKey::ReadInteger(std::string_view name) const {
    const auto value = store_->Value(path_, name);
    if (!value || value->first != REG_DWORD || value->second.size() != 4) return std::nullopt;
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i)
        number = (number << 8) | static_cast<unsigned char>(value->second[i]);
    return number;
}

std::optional<std::string> RegistryKey::ReadString(std::string_view name) const {
    auto value = store_->Value(path_, name);
    if (!value || value->first != REG_SZ) return std::nullopt;
    // The stored form ends in the NUL RegSetValueEx was given; a value written
    // by another program may hold more than one, or none.
    std::string text = std::move(value->second);
    if (const auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
    return text;
}

std::optional<std::vector<std::uint8_t>> RegistryKey::ReadBinary(std::string_view name) const {
    const auto value = store_->Value(path_, name);
    if (!value || value->first != REG_BINARY) return std::nullopt;
    return std::vector<std::uint8_t>(value->second.begin(), value->second.end());
}

bool RegistryKey::WriteInteger(std::string_view name, std::uint32_t value) {
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return IsValidValueName(name) && store_->SetValue(path_, name, REG_DWORD, data);
}

bool RegistryKey::WriteString(std::string_view name, std::string_view value) {
    // A NUL would cut the string short when read back, here or by anyone.
    if (!IsValidValueName(name) || value.find('\0') != std::string_view::npos) return false;
    std::string data(value);
    data.push_back('\0');
    return store_->SetValue(path_, name, REG_SZ, data);
}

bool RegistryKey::WriteBinary(std::string_view name, const std::vector<std::uint8_t>& value) {
    return IsValidValueName(name) &&
           store_->SetValue(path_, name, REG_BINARY, std::string(value.begin(), value.end()));
}

std::vector<std::string> RegistryKey::SubkeyNames() const { return store_->SubkeyNames(path_); }

Registry::Registry(std::filesystem::path folder) : folder_(std::move(folder)) {
    if (folder_.empty()) {
        stores_[static_cast<int>(Hive::CurrentUser)] =
            std::make_shared<RegistryStore>(HKEY_CURRENT_USER, "");
        stores_[static_cast<int>(Hive::LocalMachine)] =
            std::make_shared<RegistryStore>(HKEY_LOCAL_MACHINE, "");
        return;
    }
    const std::string base = "Software\\Vellumkit\\Redirected\\" + FolderKeyName(folder_);
    stores_[static_cast<int>(Hive::CurrentUser)] =
        std::make_shared<RegistryStore>(HKEY_CURRENT_USER, base + "\\HKEY_CURRENT_USER");
    stores_[static_cast<int>(Hive::LocalMachine)] =
        std::make_shared<RegistryStore>(HKEY_CURRENT_USER, base + "\\HKEY_LOCAL_MACHINE");
}

Registry::~Registry() = default;

std::filesystem::path Registry::DefaultFolder() {
    const char* folder = std::getenv("VELLUMKIT_REGISTRY_DIR");
    if (folder && *folder) return folder;
    return {};
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

// The system keeps the hives; there is no file of ours that could be unreadable.
std::optional<std::string> Registry::LoadError(Hive) const { return std::nullopt; }

std::vector<std::string> Registry::LoadErrors() const { return {}; }

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

// Every read goes to the system registry, which always has the latest values.
void Registry::Reload() {}

}  // namespace vk
