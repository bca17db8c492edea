#include "main/version_check.h"

namespace ombrix::main {
namespace {

// Every NT 3.x and 4.0 system lies below this, Windows 2000 and later above it.
constexpr std::uint32_t kMinimumMajor = 4;
constexpr std::uint32_t kMinimumMinor = 12;
constexpr std::uint32_t kMinimumBuild = 2730;

// Platform identifiers as the version record gives them.
constexpr std::uint32_t kWin32sPlatform = 0;
constexpr std::uint32_t kWindows9xPlatform = 1;
constexpr std::uint32_t kNtPlatform = 2;

}  // namespace

bool CheckWindowsVersion(const platform::WindowsVersion& running, std::uint32_t major,
                         std::uint32_t minor, std::uint32_t build, std::uint32_t platform) {
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

base::Result<> CheckStartupPlatform(const platform::WindowsVersion& running) {
    if (CheckWindowsVersion(running, kMinimumMajor, kMinimumMinor, kMinimumBuild, kNtPlatform)) {
        return {};
    }
    switch (running.platformId) {
        case kWin32sPlatform:
            return base::Failure{
                "Ombrix is not designed to run on Windows 3.11/Windows for Workgroups."};
        case kWindows9xPlatform:
            return base::Failure{"Ombrix is not designed to run on Windows 95/98/Me."};
        case kNtPlatform:
            return base::Failure{"Ombrix requires Windows NT v4 Service Pack 4 or later."};
        default:
            return base::Failure{"Ombrix cannot determine your Windows Version."};
    }
}

}  // namespace ombrix::main
