// Calendar rules: days that exist, short years, day counts.
#include <gtest/gtest.h>

#include "shared/calendar.h"

namespace ombrix::shared {
namespace {

TEST(Calendar, OnlyDaysTheCalendarHas) {
    EXPECT_TRUE(IsValidDate({2004, 2, 29}));
    EXPECT_TRUE(IsValidDate({2000, 2, 29}));
    EXPECT_FALSE(IsValidDate({1900, 2, 29}));
    EXPECT_FALSE(IsValidDate({2005, 2, 29}));
    EXPECT_FALSE(IsValidDate({2005, 4, 31}));
    EXPECT_TRUE(IsValidDate({2005, 12, 31}));
    EXPECT_FALSE(IsValidDate({2005, 13, 1}));
    EXPECT_FALSE(IsValidDate({2005, 0, 1}));
    EXPECT_FALSE(IsValidDate({2005, 1, 0}));
    EXPECT_FALSE(IsValidDate({0, 1, 1}));
    EXPECT_FALSE(IsValidDate({10000, 1, 1}));
}

TEST(Calendar, ShortYearsFollowTheWindowsWindow) {
    EXPECT_EQ(ExpandShortYear(0, 2), 2000);
    EXPECT_EQ(ExpandShortYear(29, 2), 2029);
    EXPECT_EQ(ExpandShortYear(30, 2), 1930);
    EXPECT_EQ(ExpandShortYear(99, 2), 1999);
    EXPECT_EQ(ExpandShortYear(5, 1), 2005);
    EXPECT_EQ(ExpandShortYear(2005, 4), 2005);
    EXPECT_EQ(ExpandShortYear(99, 4), 99) << "\"0099\" is written out in full";
}

TEST(Calendar, DaysBetweenCountsDayBoundaries) {
    EXPECT_EQ(DaysBetween({2026, 12, 6}, {2026, 12, 6}), 0);
    EXPECT_EQ(DaysBetween({2026, 12, 6}, {2026, 12, 7}), 1);
    EXPECT_EQ(DaysBetween({2026, 12, 7}, {2026, 12, 6}), -1);
    EXPECT_EQ(DaysBetween({2004, 2, 28}, {2004, 3, 1}), 2);
    EXPECT_EQ(DaysBetween({2005, 2, 28}, {2005, 3, 1}), 1);
    EXPECT_EQ(DaysBetween({1999, 12, 31}, {2000, 1, 1}), 1);
    EXPECT_EQ(DaysBetween({1970, 1, 1}, {2000, 1, 1}), 10957);
    EXPECT_EQ(DaysBetween({1601, 1, 1}, {1970, 1, 1}), 134774);
}

}  // namespace
}  // namespace ombrix::shared
