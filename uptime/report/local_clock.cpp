#include "uptime/report/local_clock.h"

namespace uptime {
namespace {

std::string TwoDigits(int value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

}  // namespace

std::string FixedFormatClock::DateText(UtcSeconds instant) const {
    const CivilTime local = ToCivil(instant + offset_(instant));
    return TwoDigits(local.date.day) + "/" + TwoDigits(local.date.month) + "/" +
           std::to_string(local.date.year);
}

std::string FixedFormatClock::TimeText(UtcSeconds instant) const {
    const CivilTime local = ToCivil(instant + offset_(instant));
    return TwoDigits(local.hour) + ":" + TwoDigits(local.minute) + ":" + TwoDigits(local.second);
}

UtcSeconds FixedFormatClock::StartOfLocalDay(const ombrix::base::CalendarDate& day) const {
    const UtcSeconds localMidnight = ToSeconds({day, 0, 0, 0});
    // The offset depends on the instant sought: a second pass settles it, since no clock
    // changes twice within a few hours of midnight.
    const UtcSeconds guess = localMidnight - offset_(localMidnight);
    return localMidnight - offset_(guess);
}

}  // namespace uptime
