// The command-line grammar and the enabled states, from option states as typed.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

#include "options/command_line.h"

namespace ombrix::options {
namespace {

// The date boxes hold 1, 12 and 2006; no option button is selected unless dateSwitch.
OptionState State(int server, std::string name, int sSwitch, int aSwitch, int doDates = kUnchecked,
                  bool dateSwitch = false, std::string pd = "5") {
    OptionState s;
    s.server = server;
    s.nameIPAddress = std::move(name);
    s.sSwitch = sSwitch;
    s.aSwitch = aSwitch;
    s.doDates = doDates;
    s.dateSwitch = dateSwitch;
    s.dd = "1";
    s.mm = "12";
    s.yyyy = "2006";
    s.pd = std::move(pd);
    return s;
}

TEST(ComposeCommandLine, AddsEachChosenPartVerbatimInItsOrder) {
    const struct {
        OptionState state;
        const char* expected;
    } rows[] = {
        {State(0, "", 0, 0), "uptime"},
        {State(1, "SRV01", 1, 0), "uptime SRV01 /s"},
        {State(1, "", 1, 0), "uptime  /s"},                 // an empty name leaves two blanks
        {State(1, "my server", 0, 0), "uptime my server"},  // no quotes, no backslashes
        {State(0, "SRV01", 1, 0), "uptime /s"},             // the name unused
        {State(kGrayed, "S", kGrayed, kGrayed), "uptime"},  // grayed is unchecked
        {State(0, "", 0, 0, kGrayed, true), "uptime"},
        {State(0, "", 0, 0, 1, true), "uptime /d:12/1/2006"},           // month first, as typed
        {State(1, "H", 1, 1, 1, false, "-1"), "uptime H /s /a /p:-1"},  // neither button: /p
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ComposeCommandLine(row.state), row.expected);
    }
}

TEST(EnabledStates, OnlyWhatGoesIntoTheLineTakesInput) {
    const struct {
        OptionState state;
        std::array<bool, 4> namePeriodDateDays;
    } rows[] = {
        {State(0, "", 0, 0), {false, false, false, false}},
        {State(1, "", 0, 0, 1), {true, true, false, true}},
        {State(0, "", 0, 0, 1, true), {false, true, true, false}},
        {State(kGrayed, "", 0, 0, kGrayed, true), {false, false, false, false}},
    };
    for (const auto& row : rows) {
        const EnabledStates e = ComputeEnabledStates(row.state);
        EXPECT_EQ((std::array<bool, 4>{e.nameIPAddress, e.periodChoice, e.date, e.days}),
                  row.namePeriodDateDays);
    }
}

}  // namespace
}  // namespace ombrix::options
