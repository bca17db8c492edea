// The stand-in tool's argument parsing.
#include <gtest/gtest.h>

#include "uptime/arguments.h"

namespace uptime {
namespace {

using Args = std::vector<std::string>;

TEST(ParseArguments, AcceptsWhatOmbrixComposes) {
    const auto none = ParseArguments({});
    ASSERT_TRUE(none.arguments);
    EXPECT_FALSE(none.arguments->machine);
    EXPECT_FALSE(none.arguments->systemEvents);

    const auto all = ParseArguments(Args{"\\\\SRV01", "/s", "/a", "/d:3/01/2006"});
    ASSERT_TRUE(all.arguments) << all.fault;
    EXPECT_EQ(all.arguments->machine, "SRV01");
    EXPECT_TRUE(all.arguments->systemEvents);
    EXPECT_TRUE(all.arguments->applicationFailures);
    EXPECT_EQ(all.arguments->since, (CalendarDate{2006, 3, 1}));

    const auto anyOrder = ParseArguments(Args{"/P:12", "/A", "10.0.0.7"});
    ASSERT_TRUE(anyOrder.arguments) << anyOrder.fault;
    EXPECT_EQ(anyOrder.arguments->machine, "10.0.0.7");
    EXPECT_EQ(anyOrder.arguments->previousDays, 12);
    EXPECT_TRUE(anyOrder.arguments->systemEvents) << "/a implies /s";

    for (const char* help : {"/?", "/help", "/HELP"}) {
        const auto parsed = ParseArguments(Args{help});
        ASSERT_TRUE(parsed.arguments);
        EXPECT_TRUE(parsed.arguments->help) << help;
    }
}

TEST(ParseArguments, NamesEachFault) {
    struct Case {
        Args args;
        const char* faultMentions;
    };
    const Case cases[] = {
        {{"/x"}, "/x"},
        {{"-s"}, "-s"},
        {{"A", "B"}, "B"},
        {{"/d:1/1/2000", "/p:5"}, "only one"},
        {{"/p:5", "/p:6"}, "only one"},
        {{"/d:13/01/2006"}, "13/01/2006"},
        {{"/d:2/30/2006"}, "2/30/2006"},
        {{"/d:3/01"}, "3/01"},
        {{"/d:"}, "valid date"},
        {{"/p:0"}, "/p:0"},
        {{"/p:-1"}, "/p:-1"},
        {{"/p:1.5"}, "/p:1.5"},
        {{"/p:"}, "whole number"},
        {{"/p:999999"}, "/p:999999"},
        {{"\\\\"}, "machine name"},
        {{""}, "switch"},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseArguments(c.args);
        EXPECT_FALSE(parsed.arguments) << c.faultMentions;
        EXPECT_NE(parsed.fault.find(c.faultMentions), std::string::npos) << parsed.fault;
    }
}

TEST(ParseMonthDayYear, OnlyDaysTheCalendarHas) {
    EXPECT_EQ(ParseMonthDayYear("2/29/2004"), (CalendarDate{2004, 2, 29}));
    EXPECT_EQ(ParseMonthDayYear("2/29/2000"), (CalendarDate{2000, 2, 29}));
    EXPECT_FALSE(ParseMonthDayYear("2/29/1900"));
    EXPECT_FALSE(ParseMonthDayYear("2/29/2005"));
    EXPECT_FALSE(ParseMonthDayYear("4/31/2005"));
    EXPECT_EQ(ParseMonthDayYear("12/31/2005"), (CalendarDate{2005, 12, 31}));
    EXPECT_FALSE(ParseMonthDayYear("0/10/2005"));
    EXPECT_FALSE(ParseMonthDayYear("1/0/2005"));
    EXPECT_FALSE(ParseMonthDayYear("1/1/205"));
    EXPECT_FALSE(ParseMonthDayYear("1/1/2005/"));
    EXPECT_FALSE(ParseMonthDayYear("a/1/2005"));
    EXPECT_FALSE(ParseMonthDayYear("1/1/-205"));
}

TEST(ParseMonthDayYear, ShortYearsFollowTheWindowsWindow) {
    EXPECT_EQ(ParseMonthDayYear("7/3/04"), (CalendarDate{2004, 7, 3}));
    EXPECT_EQ(ParseMonthDayYear("7/3/29"), (CalendarDate{2029, 7, 3}));
    EXPECT_EQ(ParseMonthDayYear("7/3/30"), (CalendarDate{1930, 7, 3}));
    EXPECT_EQ(ParseMonthDayYear("7/3/99"), (CalendarDate{1999, 7, 3}));
    EXPECT_EQ(ParseMonthDayYear("07/03/5"), (CalendarDate{2005, 7, 3}));
}

}  // namespace
}  // namespace uptime
