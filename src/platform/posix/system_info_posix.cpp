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

base::CalendarDate LocalToday() {
    const time_t now = ::time(nullptr);
    tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

base::LocalMoment LocalNow() {
    const time_t now = ::time(nullptr);
    tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

// The C library's date and time of the current locale stand in for the user's locale.
std::string DateTimeText(const base::LocalMoment& moment) {
    tm parts{};
    parts.tm_year = moment.year - 1900;
    parts.tm_mon = moment.month - 1;
    parts.tm_mday = moment.day;
    parts.tm_hour = moment.hour;
    parts.tm_min = moment.minute;
    parts.tm_sec = moment.second;
    const auto format = [&parts](const char* pattern) {
        char text[128] = {};
        const std::size_t size = ::strftime(text, sizeof(text), pattern, &parts);
        return std::string(text, size);
    };
    return base::GeneralDateTimeText(moment, format("%x"), format("%X"));
}

std::uint64_t SecondsSinceBoot() {
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<std::uint64_t>(now.tv_sec);
}

}  // namespace ombrix::platform
