#include "uptime/common/utc_time.h"

#include <cstdio>

#include "base/digits.h"

namespace uptime {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr ombrix::base::CalendarDate kEpoch{1970, 1, 1};

// Floor division, so that instants before 1970 still land on the right day.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

// The date `days` days after 1970-01-01 (Howard Hinnant's civil_from_days).
ombrix::base::CalendarDate DateOfDay(std::int64_t days) {
    const std::int64_t z = days + 719468;
    const std::int64_t era = FloorDiv(z, 146097);
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const std::int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
}

// A fixed-width run of digits at `pos`.
std::optional<int> Digits(std::string_view text, std::size_t pos, std::size_t count) {
    if (pos + count > text.size()) {
        return std::nullopt;
    }
    const auto value = ombrix::base::ReadDigits(text.substr(pos, count), count);
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

}  // namespace

UtcSeconds ToSeconds(const CivilTime& time) {
    return ombrix::base::DaysBetween(kEpoch, time.date) * kSecondsPerDay + time.hour * 3600 +
           time.minute * 60 + time.second;
}

CivilTime ToCivil(UtcSeconds seconds) {
    const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
    const auto inDay = static_cast<int>(seconds - days * kSecondsPerDay);
    return {DateOfDay(days), inDay / 3600, inDay / 60 % 60, inDay % 60};
}

std::optional<UtcSeconds> ParseSystemTime(std::string_view text) {
    // YYYY-MM-DDTHH:MM:SS, then an optional fraction, then Z.
    const auto year = Digits(text, 0, 4);
    const auto month = Digits(text, 5, 2);
    const auto day = Digits(text, 8, 2);
    const auto hour = Digits(text, 11, 2);
    const auto minute = Digits(text, 14, 2);
    const auto second = Digits(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second || text[4] != '-' ||
        text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    std::size_t pos = 19;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        const std::size_t digitsStart = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            ++pos;
        }
        if (pos == digitsStart) {
            return std::nullopt;
        }
    }
    if (pos + 1 != text.size() || text[pos] != 'Z') {
        return std::nullopt;
    }
    const ombrix::base::CalendarDate date{*year, *month, *day};
    if (!ombrix::base::IsValidDate(date) || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    return ToSeconds({date, *hour, *minute, *second});
}

std::string IsoTime(UtcSeconds instant, std::int64_t offset) {
    const CivilTime time = ToCivil(instant + offset);
    char text[40];
    const int length =
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", time.date.year,
                      time.date.month, time.date.day, time.hour, time.minute, time.second);
    const std::int64_t minutes = (offset < 0 ? -offset : offset) / 60;
    std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), "%c%02d:%02d",
                  offset < 0 ? '-' : '+', static_cast<int>(minutes / 60),
                  static_cast<int>(minutes % 60));
    return text;
}

std::string IsoUtcTime(UtcSeconds instant) {
    return IsoTime(instant, 0).substr(0, 19) + "Z";
}

std::string ShortDuration(std::int64_t seconds) {
    return std::to_string(seconds / kSecondsPerDay) + "d " + std::to_string(seconds / 3600 % 24) +
           "h:" + std::to_string(seconds / 60 % 60) + "m:" + std::to_string(seconds % 60) + "s";
}

std::string LongDuration(std::uint64_t seconds) {
    return std::to_string(seconds / 86400) + " day(s), " + std::to_string(seconds / 3600 % 24) +
           " hour(s), " + std::to_string(seconds / 60 % 60) + " minute(s), " +
           std::to_string(seconds % 60) + " second(s)";
}

}  // namespace uptime
