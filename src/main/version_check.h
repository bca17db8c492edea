// The platform version check that guards start-up.
#pragma once

#include <optional>
#include <string>

#include "platform/system_info.h"

namespace ombrix::main {

// Test mode: true when `running` is at least the given version on at least the given platform,
// compared platform first, then major, minor and build.
bool CheckWindowsVersion(const platform::WindowsVersion& running, unsigned major, unsigned minor,
                         unsigned build, unsigned platform = 1);

// Text mode: "major.minor.build :platform", for example "5.1.2600 :2".
std::string CheckWindowsVersion(const platform::WindowsVersion& running);

// The message that refuses start-up on `running`, or nothing when Ombrix may run there.
std::optional<std::string> StartupRefusal(const platform::WindowsVersion& running);

}  // namespace ombrix::main
