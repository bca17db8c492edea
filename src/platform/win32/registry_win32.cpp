#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <optional>

#include "platform/win32/system_library.h"

namespace ombrix::platform::win32 {
namespace {

// The registry calls of advapi32, which is loaded the first time a key is opened.
struct RegistryCalls {
    decltype(::RegOpenKeyExA)* open;
    decltype(::RegQueryValueExA)* query;
    decltype(::RegCloseKey)* close;
};

std::optional<RegistryCalls> FindRegistryCalls() {
    static SystemLibrary advapi("advapi32.dll");
    const auto open = advapi.Find<decltype(::RegOpenKeyExA)>("RegOpenKeyExA");
    const auto query = advapi.Find<decltype(::RegQueryValueExA)>("RegQueryValueExA");
    const auto close = advapi.Find<decltype(::RegCloseKey)>("RegCloseKey");
    if (!open || !query || !close) {
        return std::nullopt;
    }
    return RegistryCalls{*open, *query, *close};
}

class Win32RegistryKey final : public RegistryKey {
  public:
    Win32RegistryKey(HKEY key, const RegistryCalls& calls) : key_(key), calls_(calls) {}
    Win32RegistryKey(const Win32RegistryKey&) = delete;
    Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;
    ~Win32RegistryKey() override { calls_.close(key_); }

    bool QueryValue(const std::string& valueName, std::uint32_t& type, std::span<char> buffer,
                    std::uint32_t& size) override {
        DWORD valueType = 0;
        DWORD bytes = size;
        const LSTATUS status = calls_.query(key_, valueName.c_str(), nullptr, &valueType,
                                            reinterpret_cast<BYTE*>(buffer.data()), &bytes);
        type = valueType;
        size = bytes;
        return status == ERROR_SUCCESS;
    }

  private:
    HKEY key_;
    RegistryCalls calls_;
};

// A root key's 32-bit number as the handle the system expects: the predefined keys are negative
// numbers, so they widen with their sign on 64-bit systems.
HKEY RootKey(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<std::int32_t>(root)));
}

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::OpenKey(std::uint32_t root, const std::string& keyName,
                                                    std::uint32_t access) {
    // Without the registry's library no key opens, as when the system refuses one.
    const std::optional<RegistryCalls> calls = FindRegistryCalls();
    HKEY key = nullptr;
    if (!calls || calls->open(RootKey(root), keyName.c_str(), 0, access, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Win32RegistryKey>(key, *calls);
}

}  // namespace ombrix::platform::win32
