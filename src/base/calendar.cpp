#include "base/calendar.h"

namespace ombrix::base {
namespace {

// Days since 1970-01-01 in the proleptic Gregorian calendar (Howard Hinnant's algorithm).
std::int64_t DayNumber(const CalendarDate& date) {
    const std::int64_t y = date.year - (date.month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t monthIndex = date.month > 2 ? date.month - 3 : date.month + 9;
    const std::int64_t dayOfYear = (153 * monthIndex + 2) / 5 + date.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

}  // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(const CalendarDate& date) {
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
           date.day >= 1 && date.day <= DaysInMonth(date.year, date.month);
}

int ExpandShortYear(int year, int digitCount) {
    if (digitCount > 2) {
        return year;
    }
    return year < 30 ? 2000 + year : 1900 + year;
}

std::int64_t DaysBetween(const CalendarDate& from, const CalendarDate& to) {
    return DayNumber(to) - DayNumber(from);
}

}  // namespace ombrix::base
