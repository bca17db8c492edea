// Version and computer name: what the system says about itself.
#pragma once

#include <cstdint>
#include <string>

#include "shared/calendar.h"

namespace ombrix::platform {

// The four fields of the system's version record the program reads; all 0 when the query fails.
struct WindowsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::uint32_t platformId = 0;
};
WindowsVersion QueryWindowsVersion();

// The local computer's name; empty when the system cannot tell.
std::string ComputerName();

// Whole seconds since the system started.
std::uint64_t SecondsSinceBoot();

// Today's date on the local clock.
shared::CalendarDate LocalToday();

}  // namespace ombrix::platform
