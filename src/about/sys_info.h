// SysInfo: finds the system information tool through the registry and starts it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/dialogs.h"
#include "platform/registry.h"

namespace ombrix::about {

// Access mask the keys are opened with: KEY_QUERY_VALUE, all a read needs. Asking for more (set
// value, create sub-key, ...) makes the system refuse HKLM to a standard user.
inline constexpr std::uint32_t kKeyAccess = 0x0001;
// Bytes the value buffer holds, its terminating NUL included.
inline constexpr std::uint32_t kValueBufferSize = 1024;

inline constexpr const char* kSysInfoUnavailable = "System Information Is Unavailable At This Time";

// Reads a value: text as it is, a REG_DWORD as its decimal number, and any other type leaves
// `result` as passed in (and still counts as read). False, with `result` emptied, when the key
// cannot be opened, the value is missing, longer than the buffer, or empty (0 bytes).
bool GetKeyValue(platform::Registry& registry, std::uint32_t root, const std::string& keyName,
                 const std::string& valueName, std::string& result);

struct SysInfoServices {
    platform::Registry& registry;
    // True when the file exists (shared::FileExists on the real system).
    std::function<bool(const std::string& path)> fileExists;
    // Starts the program at `path` in a normal, activated window without waiting for it; false
    // when it could not be started.
    std::function<bool(const std::string& path)> startProgram;
    platform::MessageBoxes& messages;
};

// Starts the tool from the first registry location that names it, or shows the one message.
void StartSysInfo(const SysInfoServices& services);

}  // namespace ombrix::about
