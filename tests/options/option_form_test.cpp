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

// The date boxes hold 1, 12 and 2006; no option button is selected unless dateSwitch.
OptionState State(bool server, std::string name, bool sSwitch, bool aSwitch, bool doDates = false,
                  bool dateSwitch = false, std::string pd = "5") {
    OptionState state;
    state.server = server;
    state.nameIPAddress = std::move(name);
    state.sSwitch = sSwitch;
    state.aSwitch = aSwitch;
    state.doDates = doDates;
    state.dateSwitch = dateSwitch;
    state.dd = "1";
    state.mm = "12";
    state.yyyy = "2006";
    state.pd = std::move(pd);
    return state;
}

TEST(ComposeCommandLine, AddsEachChosenPartVerbatimAndEnablesOnlyWhatGoesIntoTheLine) {
    const struct {
        OptionState state;
        const char* expected;
        std::array<bool, 4> namePeriodDateDays;
    } rows[] = {
        {State(0, "", 0, 0), "uptime", {false, false, false, false}},
        {State(1, "SRV01", 1, 0), "uptime SRV01 /s", {true, false, false, false}},
        {State(1, "", 1, 0), "uptime  /s", {true, false, false, false}},  // two blanks
        {State(1, "my server", 0, 0), "uptime my server", {true, false, false, false}},  // as is
        {State(0, "SRV01", 1, 0), "uptime /s", {false, false, false, false}},  // the name unused
        {State(0, "", 0, 0, 1, true), "uptime /d:12/1/2006", {false, true, true, false}},  // m/d/y
        {State(1, "H", 1, 1, 1, false, "-1"), "uptime H /s /a /p:-1", {true, true, false, true}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ComposeCommandLine(row.state), row.expected);
        const EnabledStates e = ComputeEnabledStates(row.state);
        EXPECT_EQ((std::array<bool, 4>{e.nameIPAddress, e.periodChoice, e.date, e.days}),
                  row.namePeriodDateDays)
            << row.expected;
    }
}

TEST(OptionForm, GreyedCheckBoxesCountAsUncheckedWhereverTheStateIsRead) {
    FakeOptionView view;
    OptionForm form{view};
    constexpr int kGreyed = 2;
    for (Control c : {Control::Server, Control::SSwitch, Control::ASwitch, Control::DoDates}) {
        view.PutValue(c, kGreyed);
    }
    view.PutValue(Control::DateSwitch, 1);
    form.BuildCommandLine();
    const OptionState state = form.ReadState();
    EXPECT_FALSE(state.server || state.sSwitch || state.aSwitch || state.doDates);
    EXPECT_EQ(view.Text(Control::CmdLine), "uptime");
    EXPECT_FALSE(view.At(Control::DD).enabled);
}

// Window height, tops of the option frames, Exit and Launch Uptime, and whether the line shows.
std::array<int, 5> Layout(const FakeOptionView& v) {
    return {v.windowHeight, v.At(Control::CmdLineOpts).top, v.At(Control::ExitButton).top,
            v.At(Control::LaunchIt).top, v.At(Control::CmdLine).visible};
}

TEST(OptionForm, DayCountsReadingZeroBecomeFiveAndOthersStay) {
    FakeOptionView view;
    OptionForm form{view};
    form.SetValue(Control::DoDates, kChecked);
    const std::pair<std::string, std::string> typedShown[] = {
        {"00", "5"}, {"", "5"}, {"x1", "5"}, {"-1", "-1"}, {"07", "07"}, {"1a", "1a"}};
    for (const auto& [typed, shown] : typedShown) {
        view.Type(form, Control::pd, typed);
        EXPECT_EQ(view.Text(Control::pd), shown) << '"' << typed << '"';
        EXPECT_EQ(view.Text(Control::CmdLine), "uptime /p:" + shown);
    }
    form.SetLoading(true);
    form.SetText(Control::pd, "0");
    EXPECT_EQ(view.Text(Control::pd), "5") << "a zero day count is reset while loading too";
}

TEST(OptionForm, AHiddenLineTakesTwiceItsHeightOffTheWindow) {
    FakeOptionView view;
    OptionForm form{view};
    const std::array<int, 5> shown = Layout(view);
    const std::array<int, 5> hidden{shown[0] - 810, 1080 - 810, 4080 - 810, 480, 0};
    form.BuildCommandLineAtStartup();
    EXPECT_EQ(Layout(view), shown) << "the window is designed with the line shown";
    form.OnShowCommandLineChosen();
    EXPECT_EQ(view.Value(Control::Menu_Settings_Cmdlin), 0);
    EXPECT_EQ(Layout(view), hidden) << "Launch Uptime stays put";
    form.BuildCommandLine();
    EXPECT_EQ(Layout(view), hidden) << "later builds move nothing";
    form.OnShowCommandLineChosen();
    EXPECT_EQ(view.Value(Control::Menu_Settings_Cmdlin), 1);
    EXPECT_EQ(Layout(view), shown);

    FakeOptionView saved;
    OptionForm savedForm{saved};
    saved.PutValue(Control::Menu_Settings_Cmdlin, 0);
    savedForm.BuildCommandLineAtStartup();
    EXPECT_EQ(Layout(saved), hidden) << "a line saved hidden starts collapsed";
}

}  // namespace
}  // namespace ombrix::options
