// The general date-and-time text: the locale's short date, a blank and its long time.
#pragma once

#include <string>
#include <string_view>

namespace ombrix::base {

// A moment on the local clock, to the second.
struct LocalMoment {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The moment as the locale's short date and long time write it, joined by a blank. A moment of
// exactly midnight carries no time of day, so it shows the date alone.
std::string GeneralDateTimeText(const LocalMoment& moment, std::string_view shortDate,
                                std::string_view longTime);

}  // namespace ombrix::base
