// Version and computer name: what the system says about itself.
#pragma once

#include <cstdint>
#include <string>

#include "base/calendar.h"
#include "base/date_time_text.h"

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
base::CalendarDate LocalToday();

// The current moment on the local clock.
base::LocalMoment LocalNow();

// The moment in the platform's general date-and-time text for the user's locale.
std::string DateTimeText(const base::LocalMoment& moment);

// The current moment in that text, as a report's "Saved on" shows it.
inline std::string LocalDateTimeText() {
    return DateTimeText(LocalNow());
}

}  // namespace ombrix::platform
