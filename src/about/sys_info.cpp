#include "about/sys_info.h"

#include <array>

namespace ombrix::about {
namespace {

constexpr const char* kPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kPathValue = "PATH";
constexpr const char* kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char* kFolderValue = "MSINFO";
constexpr const char* kToolName = "\\MSINFO32.EXE";

// Where the tool is, or empty text when neither location leads to it.
bool FindTool(const SysInfoServices& services, std::string& path) {
    if (GetKeyValue(services.registry, platform::kLocalMachine, kPathKey, kPathValue, path)) {
        // Used unchanged: a path that leads nowhere fails at the start.
        return true;
    }
    std::string folder;
    if (!GetKeyValue(services.registry, platform::kLocalMachine, kFolderKey, kFolderValue,
                     folder)) {
        return false;
    }
    path = folder + kToolName;
    return services.fileExists(path);
}

}  // namespace

bool GetKeyValue(platform::Registry& registry, std::uint32_t root, const std::string& keyName,
                 const std::string& valueName, std::string& result) {
    const auto key = registry.OpenKey(root, keyName, kKeyAccess);
    if (!key) {
        result.clear();
        return false;
    }
    std::array<char, kValueBufferSize> buffer{};
    std::uint32_t size = kValueBufferSize;
    std::uint32_t type = 0;
    // A returned size of 0 leaves nothing to read; it counts as missing so that the caller
    // tries the next location.
    if (!key->QueryValue(valueName, type, buffer, size) || size == 0 || size > buffer.size()) {
        result.clear();
        return false;
    }
    const std::size_t length = buffer[size - 1] == '\0' ? size - 1 : size;
    if (type == platform::kRegSz) {
        result.assign(buffer.data(), length);
    } else if (type == platform::kRegDword) {
        // The four data bytes, least significant first.
        std::uint32_t number = 0;
        for (std::size_t i = 4; i-- > 0;) {
            number = (number << 8) | static_cast<unsigned char>(buffer[i]);
        }
        result = std::to_string(number);
    }
    return true;
}

void StartSysInfo(const SysInfoServices& services) {
    try {
        std::string path;
        if (FindTool(services, path) && services.startProgram(path)) {
            return;
        }
    } catch (...) {
        // Every failure on the way ends in the one message below.
    }
    services.messages.Show(kSysInfoUnavailable, platform::MessageStyle::OkOnly);
}

}  // namespace ombrix::about
