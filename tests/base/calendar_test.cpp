// The calendar the date checks and the tool's day counts stand on, the one date rule that the
// program's launch and the tool's /d: share, and the reading of digits.
#include "base/calendar.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "base/date_fields.h"
#include "base/digits.h"

namespace ombrix::base {
namespace {

TEST(Calendar, KnowsWhichDaysExist) {
    const std::pair<CalendarDate, bool> rows[] = {
        {{2024, 2, 29}, true},  {{2023, 2, 29}, false}, {{2000, 2, 29}, true},
        {{1900, 2, 29}, false}, {{2026, 4, 31}, false}, {{2026, 13, 1}, false},
        {{2026, 0, 1}, false},  {{2026, 1, 0}, false},  {{1, 1, 1}, true},
        {{9999, 12, 31}, true}, {{10000, 1, 1}, false}, {{0, 12, 31}, false},
    };
    for (const auto& [date, valid] : rows) {
        EXPECT_EQ(IsValidDate(date), valid) << date.year << "-" << date.month << "-" << date.day;
    }
}

TEST(Calendar, CountsDayBoundariesAcrossLeapDaysAndCenturies) {
    EXPECT_EQ(DaysBetween({2024, 2, 28}, {2024, 3, 1}), 2);
    EXPECT_EQ(DaysBetween({2023, 2, 28}, {2023, 3, 1}), 1);
    EXPECT_EQ(DaysBetween({1900, 1, 1}, {2000, 1, 1}), 36524);
    EXPECT_EQ(DaysBetween({2000, 1, 1}, {2100, 1, 1}), 36525);
    EXPECT_EQ(DaysBetween({1601, 1, 1}, {1970, 1, 1}), 134774) << "FILETIME's epoch to Unix's";
    EXPECT_EQ(DaysBetween({2026, 12, 7}, {2026, 11, 30}), -7);
}

TEST(ReadDateFields, TakesOnlyWhatACommandLineCarriesAsTyped) {
    const struct {
        const char *day, *month, *year;
        std::optional<CalendarDate> date;  // nothing: not a date
    } rows[] = {
        {"29", "02", "2024", CalendarDate{2024, 2, 29}},  // leap years are the calendar's
        {"7", "3", "0", CalendarDate{2000, 3, 7}},        // one or two digits: 0-29 are 2000-2029
        {"7", "3", "29", CalendarDate{2029, 3, 7}},
        {"7", "3", "30", CalendarDate{1930, 3, 7}},  // 30-99 are 1930-1999
        {"07", "03", "2005", CalendarDate{2005, 3, 7}},
        {"1", "1", "1601", CalendarDate{1601, 1, 1}},
        {"31", "12", "1600", std::nullopt},  // Windows keeps no time before 1601
        {"7", "3", "205", std::nullopt},     // three year digits have no reading
        {" 7", "3", "2005", std::nullopt},   // a blank would split the switch
        {"", "3", "2005", std::nullopt},
        {"007", "3", "2005", std::nullopt},
        {"31", "4", "2005", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ReadDateFields(row.day, row.month, row.year), row.date)
            << '"' << row.day << "\"/\"" << row.month << "\"/\"" << row.year << '"';
    }
}

TEST(Digits, ReadOnlyDigitsWithinTheirLength) {
    EXPECT_EQ(ReadDigits("007", 3), 7);
    EXPECT_EQ(ReadDigits("999999999999999999", 18), 999999999999999999);
    for (const char* refused : {"", " 7", "7 ", "+7", "-7", "1e3", "0x1", "1234"}) {
        EXPECT_FALSE(ReadDigits(refused, 3)) << refused;
    }
}

}  // namespace
}  // namespace ombrix::base
