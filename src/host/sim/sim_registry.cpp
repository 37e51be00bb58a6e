// The registry of the simulated machine: keys under HKEY_LOCAL_MACHINE with typed values,
// names compared without regard to case.

#include "base/text.h"
#include "host/sim/sim_host.h"

namespace nv::host::sim {
namespace {

constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeySetValue = 0x0002;

bool Allows(KeyAccess access, std::uint32_t right) {
    return (static_cast<std::uint32_t>(access) & right) != 0;
}

}  // namespace

// An open key. It looks its key up on every call, so a key removed by a test meanwhile
// simply fails.
class SimHost::Key final : public RegistryKey {
public:
    Key(SimHost& host, std::string path, KeyAccess access)
        : host_(host), path_(std::move(path)), access_(access) {}

    std::optional<RegistryValue> QueryValue(const std::string& name) override {
        if (host_.Fails(SimOp::kQueryValue, {LowerCaseAscii(name)}) ||
            !Allows(access_, kKeyQueryValue)) {
            return std::nullopt;
        }
        return host_.RegistryValueAt(path_, name);
    }

    bool SetValue(const std::string& name, const RegistryValue& value) override {
        if (host_.Fails(SimOp::kSetValue, {LowerCaseAscii(name)}) ||
            !Allows(access_, kKeySetValue) || host_.FindKey(path_) == nullptr) {
            return false;
        }
        host_.SetRegistryValue(path_, name, value);
        return true;
    }

    bool DeleteValue(const std::string& name) override {
        if (host_.Fails(SimOp::kDeleteValue, {LowerCaseAscii(name)}) ||
            !Allows(access_, kKeySetValue) || host_.FindKey(path_) == nullptr) {
            return false;
        }
        return host_.keys_[PathKey(path_)].values.erase(LowerCaseAscii(name)) > 0;
    }

private:
    static std::string PathKey(const std::string& path) { return LowerCaseAscii(path); }

    SimHost& host_;
    std::string path_;
    KeyAccess access_;
};

std::string SimHost::KeyPath(const std::string& key) {
    std::string path = key;
    if (!path.empty() && path.front() == '\\') {
        path.erase(0, 1);
    }
    return WithoutTrailingBackslashes(path);
}

const SimHost::KeyNode* SimHost::FindKey(const std::string& key) const {
    const auto it = keys_.find(LowerCaseAscii(KeyPath(key)));
    return it == keys_.end() ? nullptr : &it->second;
}

SimHost::KeyNode& SimHost::MakeKey(const std::string& key) {
    const std::string path = KeyPath(key);
    const std::size_t slash = path.rfind('\\');
    if (slash != std::string::npos) {
        MakeKey(path.substr(0, slash));
    }
    KeyNode& node = keys_[LowerCaseAscii(path)];
    if (node.path.empty()) {
        node.path = path;
    }
    return node;
}

std::unique_ptr<RegistryKey> SimHost::DoOpenKey(const std::string& path, KeyAccess access,
                                                bool create) {
    const std::string keyPath = KeyPath(path);
    if (Fails(create ? SimOp::kCreateKey : SimOp::kOpenKey, {LowerCaseAscii(keyPath)})) {
        return nullptr;
    }
    const bool wantsWrite = Allows(access, kKeySetValue);
    if (wantsWrite && !registryWritable_) {
        return nullptr;
    }
    if (FindKey(keyPath) == nullptr) {
        if (!create) {
            return nullptr;
        }
        MakeKey(keyPath);
    }
    return std::make_unique<Key>(*this, keyPath, access);
}

bool SimHost::DoDeleteKey(const std::string& path) {
    const std::string keyPath = LowerCaseAscii(KeyPath(path));
    if (Fails(SimOp::kDeleteKey, {keyPath}) || !registryWritable_) {
        return false;
    }
    const auto it = keys_.find(keyPath);
    if (it == keys_.end()) {
        return false;
    }
    for (const auto& [other, node] : keys_) {
        if (other.rfind(keyPath + "\\", 0) == 0) {
            return false;  // it has subkeys
        }
    }
    keys_.erase(it);
    return true;
}

void SimHost::SetRegistryValue(const std::string& key, const std::string& name,
                               const RegistryValue& value) {
    KeyNode& node = MakeKey(key);
    auto& entry = node.values[LowerCaseAscii(name)];
    if (entry.first.empty()) {
        entry.first = name;
    }
    entry.second = value;
}

void SimHost::SetRegistryString(const std::string& key, const std::string& name,
                                const std::string& text) {
    SetRegistryValue(key, name, StringValue(text));
}

void SimHost::RemoveRegistryKey(const std::string& key) {
    const std::string prefix = LowerCaseAscii(KeyPath(key));
    for (auto it = keys_.begin(); it != keys_.end();) {
        if (it->first == prefix || it->first.rfind(prefix + "\\", 0) == 0) {
            it = keys_.erase(it);
        } else {
            ++it;
        }
    }
}

std::optional<RegistryValue> SimHost::RegistryValueAt(const std::string& key,
                                                      const std::string& name) const {
    const KeyNode* node = FindKey(key);
    if (node == nullptr) {
        return std::nullopt;
    }
    const auto it = node->values.find(LowerCaseAscii(name));
    return it == node->values.end() ? std::nullopt
                                    : std::optional<RegistryValue>(it->second.second);
}

std::optional<std::string> SimHost::RegistryStringAt(const std::string& key,
                                                     const std::string& name) const {
    const std::optional<RegistryValue> value = RegistryValueAt(key, name);
    if (!value || (value->type != kRegSz && value->type != kRegExpandSz)) {
        return std::nullopt;
    }
    return value->data.substr(0, value->data.find('\0'));
}

std::vector<std::string> SimHost::RegistryValueNames(const std::string& key) const {
    std::vector<std::string> names;
    if (const KeyNode* node = FindKey(key)) {
        for (const auto& [folded, entry] : node->values) {
            names.push_back(entry.first);
        }
    }
    return names;
}

}  // namespace nv::host::sim
