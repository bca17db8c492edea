#include "main/version_check.h"

namespace ombrix::main {
namespace {

// Every NT 3.x and 4.0 system lies below this, Windows 2000 and later above it.
constexpr unsigned kMinimumMajor = 4;
constexpr unsigned kMinimumMinor = 12;
constexpr unsigned kMinimumBuild = 2730;
constexpr unsigned kNtPlatform = 2;

}  // namespace

bool CheckWindowsVersion(const platform::WindowsVersion& running, unsigned major, unsigned minor,
                         unsigned build, unsigned platform) {
    if (running.platformId < platform) {
        return false;
    }
    if (running.major != major) {
        return running.major > major;
    }
    if (running.minor != minor) {
        return running.minor > minor;
    }
    return running.build >= build;
}

std::string CheckWindowsVersion(const platform::WindowsVersion& running) {
    return std::to_string(running.major) + "." + std::to_string(running.minor) + "." +
           std::to_string(running.build) + " :" + std::to_string(running.platformId);
}

std::optional<std::string> StartupRefusal(const platform::WindowsVersion& running) {
    if (CheckWindowsVersion(running, kMinimumMajor, kMinimumMinor, kMinimumBuild, kNtPlatform)) {
        return std::nullopt;
    }
    const std::string text = CheckWindowsVersion(running);
    const std::string platformText = text.substr(text.find(':') + 1);
    if (platformText == "0") {
        return "Ombrix is not designed to run on Windows 3.11/Windows for Workgroups.";
    }
    if (platformText == "1") {
        return "Ombrix is not designed to run on Windows 95/98/Me.";
    }
    if (platformText == "2") {
        return "Ombrix requires Windows NT v4 Service Pack 4 or later.";
    }
    return "Ombrix cannot determine your Windows Version.";
}

}  // namespace ombrix::main
