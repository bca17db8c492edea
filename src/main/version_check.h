// The platform version check that guards start-up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/system_info.h"

namespace ombrix::main {

// True when `running` is at least the given version on at least the given platform, compared
// platform first, then major, minor and build.
bool CheckWindowsVersion(const platform::WindowsVersion& running, std::uint32_t major,
                         std::uint32_t minor, std::uint32_t build, std::uint32_t platform = 1);

// The message that refuses start-up on `running`, or nothing when Ombrix may run there.
std::optional<std::string> StartupRefusal(const platform::WindowsVersion& running);

}  // namespace ombrix::main
