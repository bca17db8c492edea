// The one date rule that the program's launch and the tool's /d: share.
#include "base/date_fields.h"

#include <gtest/gtest.h>

#include <optional>

namespace ombrix::base {
namespace {

TEST(ReadDateFields, TakesOnlyWhatACommandLineCarriesAsTyped) {
    const struct {
        const char* day;
        const char* month;
        const char* year;
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
        {"7", "3", "20050", std::nullopt},
        {" 7", "3", "2005", std::nullopt},  // a blank would split the switch
        {"7", "3", "2005 ", std::nullopt},
        {"+7", "3", "2005", std::nullopt},  // the tool would get "+7"
        {"7", "3", "-205", std::nullopt},
        {"", "3", "2005", std::nullopt},
        {"0", "3", "2005", std::nullopt},
        {"007", "3", "2005", std::nullopt},
        {"31", "4", "2005", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ReadDateFields(row.day, row.month, row.year), row.date)
            << '"' << row.day << "\"/\"" << row.month << "\"/\"" << row.year << '"';
    }
}

}  // namespace
}  // namespace ombrix::base
