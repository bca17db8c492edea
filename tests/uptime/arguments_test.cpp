// The stand-in tool's argument parsing.
#include <gtest/gtest.h>

#include "uptime/arguments.h"

namespace uptime {
namespace {

using Args = std::vector<std::string>;

TEST(ParseArguments, AcceptsWhatOmbrixComposes) {
    const auto all = ParseArguments(Args{"\\\\SRV01", "/s", "/a", "/d:3/01/2006"});
    ASSERT_TRUE(all.arguments) << all.fault;
    EXPECT_EQ(all.arguments->machine, "SRV01");
    EXPECT_TRUE(all.arguments->applicationFailures);
    EXPECT_EQ(all.arguments->since, (CalendarDate{2006, 3, 1}));

    const auto anyOrder = ParseArguments(Args{"/P:12", "/A", "10.0.0.7"});
    ASSERT_TRUE(anyOrder.arguments) << anyOrder.fault;
    EXPECT_EQ(anyOrder.arguments->machine, "10.0.0.7");
    EXPECT_EQ(anyOrder.arguments->previousDays, 12);
    EXPECT_TRUE(anyOrder.arguments->systemEvents) << "/a implies /s";

    for (const char* help : {"/?", "/HELP"}) {
        const auto parsed = ParseArguments(Args{help});
        ASSERT_TRUE(parsed.arguments);
        EXPECT_TRUE(parsed.arguments->help) << help;
    }
}

TEST(ParseArguments, NamesEachFault) {
    const std::pair<Args, const char*> cases[] = {
        {{"/x"}, "/x"},
        {{"-s"}, "-s"},
        {{""}, "switch"},
        {{"A", "B"}, "B"},
        {{"\\\\"}, "machine name"},
        {{"/d:1/1/2000", "/p:5"}, "only one"},
        {{"/p:5", "/p:6"}, "only one"},
        {{"/d:2/30/2006"}, "2/30/2006"},
        {{"/d:"}, "valid date"},
        {{"/p:0"}, "/p:0"},
        {{"/p:1.5"}, "/p:1.5"},
        {{"/p:"}, "whole number"},
        {{"/p:999999"}, "/p:999999"},
    };
    for (const auto& [args, mentions] : cases) {
        const auto parsed = ParseArguments(args);
        EXPECT_FALSE(parsed.arguments) << mentions;
        EXPECT_NE(parsed.fault.find(mentions), std::string::npos) << parsed.fault;
    }
}

TEST(ParseMonthDayYear, OnlyDaysTheCalendarHasWithWindowsShortYears) {
    const std::pair<const char*, std::optional<CalendarDate>> cases[] = {
        {"2/29/2004", CalendarDate{2004, 2, 29}},
        {"2/29/2000", CalendarDate{2000, 2, 29}},
        {"12/31/2005", CalendarDate{2005, 12, 31}},
        {"2/29/1900", std::nullopt},
        {"4/31/2005", std::nullopt},
        {"0/10/2005", std::nullopt},
        {"1/0/2005", std::nullopt},
        {"1/1/205", std::nullopt},
        {"1/1/2005/", std::nullopt},
        {"a/1/2005", std::nullopt},
        {"1/1/-205", std::nullopt},
        // 00-29 are 2000-2029, 30-99 are 1930-1999.
        {"7/3/29", CalendarDate{2029, 7, 3}},
        {"7/3/30", CalendarDate{1930, 7, 3}},
        {"07/03/5", CalendarDate{2005, 7, 3}},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseMonthDayYear(text), expected) << text;
    }
}

}  // namespace
}  // namespace uptime
