// The command-line grammar and the enabled states, from option states as typed.
#include <gtest/gtest.h>

#include "options/command_line.h"

namespace ombrix::options {
namespace {

struct Row {
    const char* what;
    OptionState state;
    const char* expected;
};

OptionState Dates(int doDates, bool dateSwitch, bool pSwitch, const char* dd, const char* mm,
                  const char* yyyy, const char* pd) {
    OptionState s;
    s.doDates = doDates;
    s.dateSwitch = dateSwitch;
    s.pSwitch = pSwitch;
    s.dd = dd;
    s.mm = mm;
    s.yyyy = yyyy;
    s.pd = pd;
    return s;
}

OptionState With(OptionState s, int server, const char* name, int sSwitch, int aSwitch) {
    s.server = server;
    s.nameIPAddress = name;
    s.sSwitch = sSwitch;
    s.aSwitch = aSwitch;
    return s;
}

class CommandLineRows : public ::testing::TestWithParam<Row> {};

TEST_P(CommandLineRows, ComposesExactly) {
    EXPECT_EQ(ComposeCommandLine(GetParam().state), GetParam().expected) << GetParam().what;
}

const OptionState kNoPeriod = Dates(kUnchecked, false, false, "01", "3", "2006", "5");

INSTANTIATE_TEST_SUITE_P(
    ExampleTable, CommandLineRows,
    ::testing::Values(Row{"nothing chosen", With(kNoPeriod, 0, "", 0, 0), "uptime"},
                      Row{"remote with /s", With(kNoPeriod, 1, "SRV01", 1, 0), "uptime SRV01 /s"},
                      Row{"/s /a after a date",
                          With(Dates(1, true, false, "01", "3", "2006", "5"), 0, "", 1, 1),
                          "uptime /s /a /d:3/01/2006"},
                      Row{"remote /a over 12 days",
                          With(Dates(1, false, true, "01", "3", "2006", "12"), 1, "10.0.0.7", 0, 1),
                          "uptime 10.0.0.7 /a /p:12"},
                      Row{"neither period option selected",
                          With(Dates(1, false, false, "01", "3", "2006", "5"), 0, "", 0, 0),
                          "uptime /p:5"}));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, CommandLineRows,
    ::testing::Values(
        Row{"empty machine name leaves two blanks", With(kNoPeriod, 1, "", 1, 0), "uptime  /s"},
        Row{"blanks in the name go in verbatim", With(kNoPeriod, 1, "my server", 0, 0),
            "uptime my server"},
        Row{"untouched placeholder", With(kNoPeriod, 1, "Name/IP Address", 0, 0),
            "uptime Name/IP Address"},
        Row{"no backslashes added", With(kNoPeriod, 1, "\\\\HOST", 0, 0), "uptime \\\\HOST"},
        Row{"name unused while unchecked", With(kNoPeriod, 0, "SRV01", 1, 0), "uptime /s"},
        Row{"grayed counts as unchecked", With(kNoPeriod, kGrayed, "SRV01", kGrayed, kGrayed),
            "uptime"},
        Row{"grayed date restriction adds nothing",
            With(Dates(kGrayed, true, false, "1", "12", "2006", "5"), 0, "", 0, 0), "uptime"},
        Row{"date texts as typed, month first",
            With(Dates(1, true, false, "1", "12", "2006", "5"), 0, "", 0, 0),
            "uptime /d:12/1/2006"},
        Row{"empty day", With(Dates(1, true, false, "", "12", "2006", "5"), 0, "", 0, 0),
            "uptime /d:12//2006"},
        Row{"negative day count stays",
            With(Dates(1, false, true, "01", "3", "2006", "-1"), 0, "", 0, 0), "uptime /p:-1"},
        Row{"order is machine, /s, /a, period",
            With(Dates(1, false, true, "01", "3", "2006", "7"), 1, "H", 1, 1),
            "uptime H /s /a /p:7"}));

TEST(EnabledStates, FollowTheChoices) {
    OptionState s = kNoPeriod;
    EnabledStates e = ComputeEnabledStates(s);
    EXPECT_FALSE(e.nameIPAddress);
    EXPECT_FALSE(e.periodChoice);
    EXPECT_FALSE(e.date);
    EXPECT_FALSE(e.days);

    s.server = kChecked;
    s.doDates = kChecked;
    e = ComputeEnabledStates(s);
    EXPECT_TRUE(e.nameIPAddress);
    EXPECT_TRUE(e.periodChoice);
    EXPECT_FALSE(e.date);
    EXPECT_TRUE(e.days) << "neither option selected acts as the day count";

    s.dateSwitch = true;
    e = ComputeEnabledStates(s);
    EXPECT_TRUE(e.date);
    EXPECT_FALSE(e.days);

    s.server = kGrayed;
    s.doDates = kGrayed;
    e = ComputeEnabledStates(s);
    EXPECT_FALSE(e.nameIPAddress);
    EXPECT_FALSE(e.periodChoice);
    EXPECT_FALSE(e.date);
}

}  // namespace
}  // namespace ombrix::options
