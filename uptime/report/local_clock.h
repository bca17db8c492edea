// How the report shows instants: in the local time zone and the user's formats.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/calendar.h"
#include "uptime/common/utc_time.h"

namespace uptime {

class LocalClock {
  public:
    virtual ~LocalClock() = default;
    virtual std::string DateText(UtcSeconds instant) const = 0;  // the short date
    virtual std::string TimeText(UtcSeconds instant) const = 0;  // hours, minutes and seconds
    // The instant the given local day begins.
    virtual UtcSeconds StartOfLocalDay(const ombrix::base::CalendarDate& day) const = 0;
    // Seconds east of UTC at that instant, as the local time zone's rules give it.
    virtual std::int64_t OffsetAt(UtcSeconds instant) const = 0;
};

// Day first ("30/05/2013") and a 24-hour clock ("23:13:46"), at the offset from UTC a rule
// gives for each instant: the same text on every machine.
class FixedFormatClock final : public LocalClock {
  public:
    using OffsetRule = std::function<std::int64_t(UtcSeconds)>;  // seconds east of UTC
    explicit FixedFormatClock(OffsetRule offset) : offset_(std::move(offset)) {}

    std::string DateText(UtcSeconds instant) const override;
    std::string TimeText(UtcSeconds instant) const override;
    UtcSeconds StartOfLocalDay(const ombrix::base::CalendarDate& day) const override;
    std::int64_t OffsetAt(UtcSeconds instant) const override { return offset_(instant); }

  private:
    OffsetRule offset_;
};

}  // namespace uptime
