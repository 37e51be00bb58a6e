// The registry under HKEY_LOCAL_MACHINE on Windows.

#include <windows.h>

#include <vector>

#include "host/win32/win32_host.h"
#include "win32/unique_handle.h"

namespace nv::host {
namespace {

class Win32RegistryKey final : public RegistryKey {
public:
    explicit Win32RegistryKey(UniqueRegistryKey key) : key_(std::move(key)) {}

    std::optional<RegistryValue> QueryValue(const std::string& name) override {
        DWORD type = REG_NONE;
        DWORD size = 0;
        LSTATUS status =
            ::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, nullptr, &size);
        std::vector<BYTE> data;
        // The value may grow between the two calls; ask again until it fits.
        while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
            data.resize(size);
            status = ::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type,
                                        data.empty() ? nullptr : data.data(), &size);
            if (status == ERROR_SUCCESS) {
                RegistryValue value;
                value.type = type;
                value.data.assign(reinterpret_cast<const char*>(data.data()), size);
                return value;
            }
        }
        return std::nullopt;
    }

    bool SetValue(const std::string& name, const RegistryValue& value) override {
        const LSTATUS status = ::RegSetValueExA(key_.Get(), name.c_str(), 0, value.type,
                                                reinterpret_cast<const BYTE*>(value.data.data()),
                                                static_cast<DWORD>(value.data.size()));
        lastStatus_ = static_cast<unsigned long>(status);
        return status == ERROR_SUCCESS;
    }

    bool DeleteValue(const std::string& name) override {
        return ::RegDeleteValueA(key_.Get(), name.c_str()) == ERROR_SUCCESS;
    }

protected:
    unsigned long LastFailureCode() override { return lastStatus_; }

private:
    UniqueRegistryKey key_;
    unsigned long lastStatus_ = ERROR_SUCCESS;  // of the last RegSetValueExA
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Host::DoOpenKey(const std::string& path, KeyAccess access,
                                                  bool create) {
    UniqueRegistryKey key;
    const auto mask = static_cast<REGSAM>(access);
    const LSTATUS status =
        create ? ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr,
                                   REG_OPTION_NON_VOLATILE, mask, nullptr, key.Put(), nullptr)
               : ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, mask, key.Put());
    if (status != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Win32RegistryKey>(std::move(key));
}

bool Win32Host::DoDeleteKey(const std::string& path) {
    // Deletes only a key without subkeys, in the same registry view the keys are opened in.
    return ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str()) == ERROR_SUCCESS;
}

}  // namespace nv::host
