#include <windows.h>

#include <algorithm>
#include <iterator>

#include "platform/win32/unique_handle.h"
#include "uptime/logs/win32/event_log_win32.h"
#include "uptime/logs/win32/wide_text.h"
#include "uptime/tool/system.h"

namespace uptime {
namespace {

// Seconds between 1601-01-01 (the FILETIME epoch) and 1970-01-01.
constexpr std::int64_t kEpochGap = 11644473600;
constexpr std::int64_t kTicksPerSecond = 10000000;

SYSTEMTIME UtcSystemTime(UtcSeconds instant) {
    ULARGE_INTEGER ticks{};
    ticks.QuadPart = static_cast<ULONGLONG>((instant + kEpochGap) * kTicksPerSecond);
    FILETIME file{ticks.LowPart, ticks.HighPart};
    SYSTEMTIME time{};
    ::FileTimeToSystemTime(&file, &time);
    return time;
}

UtcSeconds SecondsOf(const FILETIME& file) {
    ULARGE_INTEGER ticks{};
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    return static_cast<UtcSeconds>(ticks.QuadPart / kTicksPerSecond) - kEpochGap;
}

// Local time with the zone's rules of each year, and the user's own date and time formats.
class WindowsClock final : public LocalClock {
  public:
    WindowsClock() { zoneKnown_ = ::GetDynamicTimeZoneInformation(&zone_) != TIME_ZONE_ID_INVALID; }

    std::string DateText(UtcSeconds instant) const override {
        const SYSTEMTIME local = Local(instant);
        wchar_t text[128] = {};
        if (::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, text,
                              static_cast<int>(std::size(text)), nullptr) == 0) {
            return "?";
        }
        return win32::Narrow(text, CP_UTF8);
    }

    std::string TimeText(UtcSeconds instant) const override {
        const SYSTEMTIME local = Local(instant);
        wchar_t text[128] = {};
        if (::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &local, nullptr, text,
                              static_cast<int>(std::size(text))) == 0) {
            return "?";
        }
        return win32::Narrow(text, CP_UTF8);
    }

    UtcSeconds StartOfLocalDay(const ombrix::base::CalendarDate& day) const override {
        SYSTEMTIME local{};
        local.wYear = static_cast<WORD>(day.year);
        local.wMonth = static_cast<WORD>(day.month);
        local.wDay = static_cast<WORD>(day.day);
        SYSTEMTIME utc{};
        FILETIME file{};
        const TIME_ZONE_INFORMATION rules = RulesOf(day.year);
        if (::TzSpecificLocalTimeToSystemTime(zoneKnown_ ? &rules : nullptr, &local, &utc) &&
            ::SystemTimeToFileTime(&utc, &file)) {
            return SecondsOf(file);
        }
        // Without the zone's rules, the day begins at midnight UTC.
        return ToSeconds({day, 0, 0, 0});
    }

    std::int64_t OffsetAt(UtcSeconds instant) const override {
        FILETIME local{};
        const SYSTEMTIME time = Local(instant);
        if (!::SystemTimeToFileTime(&time, &local)) {
            return 0;
        }
        return SecondsOf(local) - instant;
    }

  private:
    // The zone's rules as they were in the given year, so that past changes of the daylight
    // saving dates are honoured.
    TIME_ZONE_INFORMATION RulesOf(int year) const {
        TIME_ZONE_INFORMATION rules{};
        DYNAMIC_TIME_ZONE_INFORMATION zone = zone_;  // some headers take it as non-const
        if (!::GetTimeZoneInformationForYear(static_cast<USHORT>(year), &zone, &rules)) {
            ::GetTimeZoneInformation(&rules);
        }
        return rules;
    }

    SYSTEMTIME Local(UtcSeconds instant) const {
        const SYSTEMTIME utc = UtcSystemTime(instant);
        const TIME_ZONE_INFORMATION rules = RulesOf(utc.wYear);
        SYSTEMTIME local{};
        if (::SystemTimeToTzSpecificLocalTime(zoneKnown_ ? &rules : nullptr, &utc, &local)) {
            return local;
        }
        return utc;
    }

    DYNAMIC_TIME_ZONE_INFORMATION zone_{};
    bool zoneKnown_ = false;
};

class WindowsFile final : public ByteSource {
  public:
    explicit WindowsFile(ombrix::platform::win32::UniqueHandle file) : file_(std::move(file)) {}

    ombrix::base::Result<std::size_t> Read(char* buffer, std::size_t size) override {
        DWORD got = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        if (!::ReadFile(file_.get(), buffer, wanted, &got, nullptr)) {
            return ombrix::base::Failure{win32::ErrorText(::GetLastError())};
        }
        return static_cast<std::size_t>(got);
    }

  private:
    ombrix::platform::win32::UniqueHandle file_;
};

class WindowsToolSystem final : public ToolSystem {
  public:
    UtcSeconds Now() const override {
        FILETIME now{};
        ::GetSystemTimeAsFileTime(&now);
        return SecondsOf(now);
    }
    const LocalClock& Clock() const override { return clock_; }
    std::unique_ptr<EventLogReader> OpenEventLog(const std::string& remoteMachine) const override {
        return win32::OpenWindowsEventLog(remoteMachine);
    }
    ombrix::base::Result<std::unique_ptr<ByteSource>> OpenLogFile(
        const std::string& path) const override {
        const std::wstring wide = win32::Widen(path, CP_UTF8);
        const DWORD attributes = ::GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return ombrix::base::Failure{"It is a folder, not a file."};
        }
        // Shared for writing too: a log may be read while something still writes to it.
        ombrix::platform::win32::UniqueHandle file(::CreateFileW(
            wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file) {
            return ombrix::base::Failure{win32::ErrorText(::GetLastError())};
        }
        return std::unique_ptr<ByteSource>(std::make_unique<WindowsFile>(std::move(file)));
    }
    ombrix::base::Result<void> ReadEvtxFile(const std::string& path,
                                            RecordSink& sink) const override {
        return win32::ReadEventLogFile(path, sink);
    }

  private:
    WindowsClock clock_;
};

std::wstring RegistryText(const wchar_t* key, const wchar_t* value) {
    wchar_t text[256] = {};
    DWORD size = sizeof(text);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, value, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    return text;
}

}  // namespace

std::unique_ptr<ToolSystem> OpenToolSystem() {
    return std::make_unique<WindowsToolSystem>();
}

std::string OperatingSystemName() {
    const wchar_t* key = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    const std::wstring product = RegistryText(key, L"ProductName");
    const std::wstring type = RegistryText(key, L"CurrentType");  // "Multiprocessor Free"
    if (product.empty()) {
        return {};
    }
    return win32::Narrow(type.empty() ? product : product + L" " + type, CP_UTF8);
}

std::string TimeZoneName() {
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    if (::GetDynamicTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) {
        return {};
    }
    return win32::Narrow(
        zone.TimeZoneKeyName[0] != L'\0' ? zone.TimeZoneKeyName : zone.StandardName, CP_UTF8);
}

std::string SystemTextToUtf8(const std::string& text) {
    return win32::Narrow(win32::Widen(text, CP_ACP), CP_UTF8);
}

std::string Utf8ToSystemText(const std::string& text) {
    return win32::Narrow(win32::Widen(text, CP_UTF8), CP_ACP);
}

}  // namespace uptime
