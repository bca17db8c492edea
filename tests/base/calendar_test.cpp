// The calendar the date checks and the tool's day counts stand on, and the digit readings.
#include "base/calendar.h"

#include <gtest/gtest.h>

#include "base/digits.h"
#include "base/leading_number.h"

namespace ombrix::base {
namespace {

TEST(Calendar, KnowsWhichDaysExist) {
    struct Row {
        CalendarDate date;
        bool valid;
    };
    const Row rows[] = {
        {{2024, 2, 29}, true},  {{2023, 2, 29}, false}, {{2000, 2, 29}, true},
        {{1900, 2, 29}, false}, {{2026, 4, 31}, false}, {{2026, 12, 31}, true},
        {{2026, 13, 1}, false}, {{2026, 0, 1}, false},  {{2026, 1, 0}, false},
        {{1, 1, 1}, true},      {{9999, 12, 31}, true}, {{10000, 1, 1}, false},
        {{0, 12, 31}, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IsValidDate(row.date), row.valid)
            << row.date.year << "-" << row.date.month << "-" << row.date.day;
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

TEST(Digits, ReadOnlyDigitsWithinTheirLength) {
    EXPECT_EQ(ReadDigits("007", 3), 7);
    EXPECT_EQ(ReadDigits("999999999999999999", 18), 999999999999999999);
    for (const char* refused : {"", " 7", "7 ", "+7", "-7", "1e3", "0x1", "1234"}) {
        EXPECT_FALSE(ReadDigits(refused, 3)) << refused;
    }
    EXPECT_FALSE(ContainsNonDigit(""));
    EXPECT_TRUE(ContainsNonDigit("12a"));
}

TEST(LeadingNumber, ReadsAsZeroOnlyWhatTheBoxReadsAsZero) {
    for (const char* zero : {"", "0", "00", "0 0", " 0\t", "abc", "-", ".", "+0", "0.0"}) {
        EXPECT_TRUE(ReadsAsZero(zero)) << '"' << zero << '"';
    }
    for (const char* number : {"5", " 7", "0 1", "-3", ".5", "0.01", "12abc"}) {
        EXPECT_FALSE(ReadsAsZero(number)) << '"' << number << '"';
    }
}

}  // namespace
}  // namespace ombrix::base
