#include "platform/win32/registry_win32.h"

#include <windows.h>

namespace ombrix::platform::win32 {
namespace {

class Win32RegistryKey final : public RegistryKey {
  public:
    explicit Win32RegistryKey(HKEY key) : key_(key) {}
    Win32RegistryKey(const Win32RegistryKey&) = delete;
    Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;
    ~Win32RegistryKey() override { ::RegCloseKey(key_); }

    bool QueryValue(const std::string& valueName, std::uint32_t& type, std::span<char> buffer,
                    std::uint32_t& size) override {
        DWORD valueType = 0;
        DWORD bytes = size;
        const LSTATUS status = ::RegQueryValueExA(key_, valueName.c_str(), nullptr, &valueType,
                                                  reinterpret_cast<BYTE*>(buffer.data()), &bytes);
        type = valueType;
        size = bytes;
        return status == ERROR_SUCCESS;
    }

  private:
    HKEY key_;
};

// A root key's 32-bit number as the handle the system expects: the predefined keys are negative
// numbers, so they widen with their sign on 64-bit systems.
HKEY RootKey(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<std::int32_t>(root)));
}

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::OpenKey(std::uint32_t root, const std::string& keyName,
                                                    std::uint32_t access) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(RootKey(root), keyName.c_str(), 0, access, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Win32RegistryKey>(key);
}

}  // namespace ombrix::platform::win32
