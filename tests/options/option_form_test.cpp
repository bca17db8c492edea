// The command-line grammar, the enabled states and the option logic driven by window events.
#include "options/option_form.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

#include "options/command_line.h"
#include "options/fake_option_view.h"

namespace ombrix::options {
namespace {

// The date boxes hold 1, 12 and 2006; no option button is selected unless sinceDate.
OptionState State(bool remoteMachine, std::string name, bool showEvents, bool showAppFailures,
                  bool restrictPeriod = false, bool sinceDate = false, std::string dayCount = "5") {
    return {remoteMachine,  std::move(name), showEvents, showAppFailures,
            restrictPeriod, sinceDate,       "1",        "12",
            "2006",         dayCount};
}

TEST(ComposeCommandLine, AddsEachChosenPartVerbatimAndEnablesOnlyWhatGoesIntoTheLine) {
    const struct {
        OptionState state;
        const char* expected;
        std::array<bool, 4> enabled;  // the machine, the period choice, the date, the day count
    } rows[] = {
        {State(0, "", 0, 0), "uptime", {0, 0, 0, 0}},
        {State(1, "SRV 01", 1, 0), "uptime SRV 01 /s", {1, 0, 0, 0}},
        {State(1, "", 1, 0), "uptime  /s", {1, 0, 0, 0}},
        {State(0, "SRV01", 1, 0), "uptime /s", {0, 0, 0, 0}},
        {State(0, "", 0, 0, 1, true), "uptime /d:12/1/2006", {0, 1, 1, 0}},  // month first
        // Neither option button selected counts as the day count.
        {State(0, "", 0, 1, 1, false, "-1"), "uptime /a /p:-1", {0, 1, 0, 1}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ComposeCommandLine(row.state), row.expected);
        const EnabledStates e = ComputeEnabledStates(row.state);
        EXPECT_EQ((std::array{e.machineName, e.periodChoice, e.date, e.days}), row.enabled)
            << row.expected;
    }
}

TEST(OptionForm, GreyedCheckBoxesCountAsUncheckedAndDayCountsReadingZeroBecomeFive) {
    FakeOptionView view;
    OptionForm form{view};
    for (Control c : {Control::RemoteMachine, Control::ShowEvents, Control::ShowAppFailures,
                      Control::RestrictPeriod}) {
        view.PutValue(c, 2);
    }
    form.BuildCommandLine();
    EXPECT_EQ(view.Text(Control::CommandLine), "uptime");
    EXPECT_FALSE(view.At(Control::MachineName).enabled);
    form.SetValue(Control::RestrictPeriod, kChecked);
    // What Val reads as zero: the box's leading number, blanks inside it skipped.
    const std::pair<std::string, std::string> typedShown[] = {
        {"00", "5"},  {"", "5"},    {"x1", "5"},  {"0 0", "5"},   {" 0\t", "5"}, {".", "5"},
        {"0.0", "5"}, {"-1", "-1"}, {"1a", "1a"}, {"0 1", "0 1"}, {".5", ".5"},  {"0.01", "0.01"}};
    for (const auto& [typed, shown] : typedShown) {
        view.Type(form, Control::DayCount, typed);
        EXPECT_EQ(view.Text(Control::DayCount), shown) << '"' << typed << '"';
        EXPECT_EQ(view.Text(Control::CommandLine), "uptime /p:" + shown);
    }
    form.SetLoading(true);
    form.SetText(Control::DayCount, "0");
    EXPECT_EQ(view.Text(Control::DayCount), "5") << "a zero day count is reset while loading too";
}

TEST(OptionForm, ApplyPutsOnTheControlsWhatReadStateReadsBack) {
    OptionState everything = State(true, "SRV01", true, true, true, true, "12");
    everything.periodChosen = true;
    OptionState lastDays = everything;
    lastDays.sinceDate = false;
    lastDays.showCommandLine = false;
    for (const OptionState& state : {DefaultOptionState({2026, 7, 14}), everything, lastDays}) {
        FakeOptionView view;
        OptionForm form{view};
        view.PutValue(Control::SinceDate, 1);  // what the state says must replace what was there
        form.Apply(state);
        EXPECT_EQ(form.ReadState(), state) << ComposeCommandLine(state);
    }
}

// Window height, tops of the option frames, Exit and Launch Uptime, and whether the line shows.
std::array<int, 5> Layout(const FakeOptionView& v) {
    return {v.windowHeight, v.At(Control::OptionsFrame).top, v.At(Control::ExitButton).top,
            v.At(Control::LaunchButton).top, v.At(Control::CommandLine).visible};
}

TEST(OptionForm, AHiddenLineTakesTwiceItsHeightOffTheWindow) {
    FakeOptionView view;
    OptionForm form{view};
    const std::array<int, 5> shown = Layout(view);
    const std::array<int, 5> hidden{shown[0] - 810, 1080 - 810, 4080 - 810, 480, 0};
    form.BuildCommandLineAtStartup();
    EXPECT_EQ(Layout(view), shown) << "the window is designed with the line shown";
    form.OnShowCommandLineChosen();
    EXPECT_FALSE(view.CommandLineShown());
    EXPECT_EQ(Layout(view), hidden) << "Launch Uptime stays put";
    form.BuildCommandLine();  // later builds move nothing
    form.OnShowCommandLineChosen();
    EXPECT_EQ(Layout(view), shown);

    FakeOptionView saved;
    OptionForm savedForm{saved};
    saved.PutCommandLineShown(false);
    savedForm.BuildCommandLineAtStartup();
    EXPECT_EQ(Layout(saved), hidden) << "a line saved hidden starts collapsed";
}

}  // namespace
}  // namespace ombrix::options
