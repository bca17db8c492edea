// The platform version check that guards start-up.
#pragma once

#include <cstdint>
#include <string>

#include "base/result.h"
#include "platform/system_info.h"

namespace ombrix::main {

// True when `running` is at least the given version on at least the given platform, compared
// platform first, then major, minor and build.
bool CheckWindowsVersion(const platform::WindowsVersion& running, std::uint32_t major,
                         std::uint32_t minor, std::uint32_t build, std::uint32_t platform = 1);

// Whether Ombrix may run on `running`; the refusal's reason is the message that says why not.
base::Result<> CheckStartupPlatform(const platform::WindowsVersion& running);

}  // namespace ombrix::main
