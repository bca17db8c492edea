#include <windows.h>

#include "platform/system_info.h"

namespace ombrix::platform {
namespace {

// The text a Get...FormatA call writes: asked for its size first, then filled.
template <typename Format>
std::string FormattedText(Format format) {
    int size = format(nullptr, 0);
    if (size <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    size = format(text.data(), size);
    if (size <= 0) {
        return {};
    }
    text.resize(static_cast<std::size_t>(size) - 1);  // without the terminating NUL
    return text;
}

}  // namespace

WindowsVersion QueryWindowsVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    WindowsVersion version;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)  // GetVersionExA is what the version check is built on
#endif
    if (::GetVersionExA(&info)) {
        version.major = info.dwMajorVersion;
        version.minor = info.dwMinorVersion;
        version.build = info.dwBuildNumber;
        version.platformId = info.dwPlatformId;
    }
    return version;
}

std::string ComputerName() {
    char name[255] = {};
    DWORD size = sizeof(name);
    if (!::GetComputerNameA(name, &size)) {
        return {};
    }
    return std::string(name, size);
}

base::CalendarDate LocalToday() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

base::LocalMoment LocalNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string DateTimeText(const base::LocalMoment& moment) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(moment.year);
    time.wMonth = static_cast<WORD>(moment.month);
    time.wDay = static_cast<WORD>(moment.day);
    time.wHour = static_cast<WORD>(moment.hour);
    time.wMinute = static_cast<WORD>(moment.minute);
    time.wSecond = static_cast<WORD>(moment.second);
    const std::string shortDate = FormattedText([&time](char* buffer, int size) {
        return ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer, size);
    });
    const std::string longTime = FormattedText([&time](char* buffer, int size) {
        return ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, buffer, size);
    });
    return base::GeneralDateTimeText(moment, shortDate, longTime);
}

std::uint64_t SecondsSinceBoot() {
    return ::GetTickCount64() / 1000;
}

}  // namespace ombrix::platform
