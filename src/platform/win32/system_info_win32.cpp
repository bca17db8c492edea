#include <windows.h>

#include "platform/system_info.h"

namespace ombrix::platform {

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
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof(name);
    if (!::GetComputerNameA(name, &size)) {
        return {};
    }
    return std::string(name, size);
}

shared::CalendarDate LocalToday() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

std::uint64_t SecondsSinceBoot() {
    return ::GetTickCount64() / 1000;
}

}  // namespace ombrix::platform
