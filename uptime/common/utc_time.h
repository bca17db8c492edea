// Instants as whole seconds since 1970-01-01 00:00:00 UTC, the civil calendar around them, and
// the way the report writes lengths of time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/calendar.h"

namespace uptime {

using UtcSeconds = std::int64_t;

struct CivilTime {
    ombrix::base::CalendarDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

UtcSeconds ToSeconds(const CivilTime& time);
CivilTime ToCivil(UtcSeconds seconds);

// The SystemTime attribute of a rendered event, "2013-05-30T22:13:46.1234567Z"; the fraction
// of the second is dropped, as the event viewers do.
std::optional<UtcSeconds> ParseSystemTime(std::string_view text);

// ISO 8601 in UTC, to the second: "2013-05-30T22:13:46Z", as the faces for programs write times.
std::string IsoUtcTime(UtcSeconds instant);
// The instant as the local time of a zone `offset` seconds east of UTC, with that offset:
// "2013-05-30T23:13:46+01:00".
std::string IsoTime(UtcSeconds instant, std::int64_t offset);

// "171d 6h:8m:39s"
std::string ShortDuration(std::int64_t seconds);

// "12 day(s), 18 hour(s), 48 minute(s), 33 second(s)"
std::string LongDuration(std::uint64_t seconds);

}  // namespace uptime
