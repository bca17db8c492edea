// The date-and-time text of a report's header: the short date, a blank and the long time, the
// date alone at exactly midnight.
#include <gtest/gtest.h>

#include "platform/system_info.h"
#include "shared/date_time_text.h"

namespace ombrix::shared {
namespace {

TEST(GeneralDateTimeText, ShowsTheTimeUnlessTheMomentIsExactlyMidnight) {
    EXPECT_EQ(GeneralDateTimeText({2026, 12, 5, 0, 0, 0}, "05/12/2026", "09:36"), "05/12/2026");
    for (const LocalMoment moment :
         {LocalMoment{2026, 12, 5, 0, 0, 1}, {2026, 12, 5, 0, 1, 0}, {2026, 12, 5, 1, 0, 0}}) {
        EXPECT_EQ(GeneralDateTimeText(moment, "05/12/2026", "09:36"), "05/12/2026 09:36")
            << moment.hour << ":" << moment.minute << ":" << moment.second;
    }
}

TEST(PlatformDateTimeText, MidnightGivesTheSameDayDateWithoutItsTime) {
    const std::string midnight = platform::DateTimeText({2026, 12, 5, 0, 0, 0});
    const std::string morning = platform::DateTimeText({2026, 12, 5, 9, 36, 24});
    ASSERT_FALSE(midnight.empty());
    EXPECT_NE(midnight.find("26"), std::string::npos) << midnight;  // the year, long or short
    EXPECT_EQ(midnight.find(':'), std::string::npos) << midnight;
    ASSERT_GT(morning.size(), midnight.size() + 1) << morning;
    EXPECT_EQ(morning.substr(0, midnight.size() + 1), midnight + " ");
    const std::string time = morning.substr(midnight.size() + 1);
    EXPECT_NE(time.find("36"), std::string::npos) << time;
    EXPECT_NE(time.find("24"), std::string::npos) << time;
    EXPECT_NE(time.back(), ' ') << time;
}

TEST(PlatformDateTimeText, NowBeginsWithTodaysDate) {
    const LocalMoment before = platform::LocalNow();
    const std::string now = platform::LocalDateTimeText();
    const LocalMoment after = platform::LocalNow();
    // The day may turn between the readings: either day's date will do.
    const std::string dayBefore = platform::DateTimeText({before.year, before.month, before.day});
    const std::string dayAfter = platform::DateTimeText({after.year, after.month, after.day});
    EXPECT_TRUE(now.rfind(dayBefore, 0) == 0 || now.rfind(dayAfter, 0) == 0) << now;
}

}  // namespace
}  // namespace ombrix::shared
