// Calendar dates: which days exist, how short years are read, and day counts between dates.
#pragma once

#include <compare>
#include <cstdint>

namespace ombrix::base {

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
    friend auto operator<=>(const CalendarDate&, const CalendarDate&) = default;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // month 1 to 12
// True when the calendar has this day (years 1 to 9999).
bool IsValidDate(const CalendarDate& date);

// Windows' window for years written with one or two digits: 0-29 are 2000-2029, 30-99 are
// 1930-1999. Longer years stand as written.
int ExpandShortYear(int year, int digitCount);

// Days from `from` to `to`, counted in day boundaries (negative when `to` lies before `from`).
std::int64_t DaysBetween(const CalendarDate& from, const CalendarDate& to);

}  // namespace ombrix::base
