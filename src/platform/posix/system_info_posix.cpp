#include <time.h>
#include <unistd.h>

#include <cctype>

#include "platform/system_info.h"

namespace ombrix::platform {

// Outside Windows there is no version record: report an NT-family system that passes the check.
WindowsVersion QueryWindowsVersion() {
    return WindowsVersion{6, 1, 7601, 2};
}

std::string ComputerName() {
    char name[256] = {};
    if (::gethostname(name, sizeof(name) - 1) != 0) {
        return {};
    }
    // Windows reports NetBIOS names in capitals; do the same.
    std::string result(name);
    for (char& c : result) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return result;
}

shared::CalendarDate LocalToday() {
    const time_t now = ::time(nullptr);
    tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::uint64_t SecondsSinceBoot() {
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<std::uint64_t>(now.tv_sec);
}

}  // namespace ombrix::platform
