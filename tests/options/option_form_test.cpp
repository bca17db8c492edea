// The option logic driven by the events the main window sends.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

#include "options/fake_option_view.h"
#include "options/option_form.h"

namespace ombrix::options {
namespace {

// Window height, tops of the option frames, Exit and Launch Uptime, and whether the line shows.
std::array<int, 5> Layout(const FakeOptionView& v) {
    return {v.windowHeight, v.At(Control::CmdLineOpts).top, v.At(Control::ExitButton).top,
            v.At(Control::LaunchIt).top, v.At(Control::CmdLine).visible};
}

class OptionFormTest : public ::testing::Test {
  protected:
    std::string CmdLine() const { return view.Text(Control::CmdLine); }
    // Enabled flags of the machine box, the four period controls, the four date controls, pd.
    std::string Enabled() const {
        std::string flags;
        for (Control c : {Control::NameIPAddress, Control::DateFrame, Control::DateSwitch,
                          Control::PSwitch, Control::pswitchdays, Control::DD, Control::MM,
                          Control::YYYY, Control::DateSP, Control::pd}) {
            flags += view.At(c).enabled ? '1' : '0';
        }
        return flags;
    }

    FakeOptionView view;
    OptionForm form{view};
};

TEST_F(OptionFormTest, ClicksAndKeystrokesRebuildTheLine) {
    view.Click(form, Control::Server);
    EXPECT_EQ(CmdLine(), "uptime Name/IP Address");
    view.Type(form, Control::NameIPAddress, "SR");
    EXPECT_EQ(CmdLine(), "uptime SR");
    view.Click(form, Control::DoDates);
    EXPECT_EQ(CmdLine(), "uptime SR /p:5");
    view.Click(form, Control::DateSwitch);
    view.Type(form, Control::DD, "7");
    EXPECT_EQ(CmdLine(), "uptime SR /d:3/7/2006");
    view.Click(form, Control::PSwitch);
    view.Type(form, Control::pd, "12");
    EXPECT_EQ(CmdLine(), "uptime SR /p:12");
}

TEST_F(OptionFormTest, WhileLoadingTextsWaitButClicksRebuild) {
    form.SetLoading(true);
    form.SetText(Control::NameIPAddress, "SRV01");
    form.SetText(Control::pd, "0");
    EXPECT_EQ(view.Text(Control::pd), "5") << "a zero day count is reset while loading too";
    EXPECT_EQ(CmdLine(), "uptime");
    form.SetValue(Control::Server, kChecked);
    EXPECT_EQ(CmdLine(), "uptime SRV01");
    form.SetLoading(false);
    view.Type(form, Control::NameIPAddress, "SRV02");
    EXPECT_EQ(CmdLine(), "uptime SRV02");
}

TEST_F(OptionFormTest, DayCountsReadingZeroBecomeFiveAndOthersStay) {
    form.SetValue(Control::DoDates, kChecked);
    const std::pair<std::string, std::string> typedShown[] = {
        {"00", "5"}, {"", "5"}, {"x1", "5"}, {"-1", "-1"}, {"07", "07"}, {"1a", "1a"}};
    for (const auto& [typed, shown] : typedShown) {
        view.Type(form, Control::pd, typed);
        EXPECT_EQ(view.Text(Control::pd), shown) << '"' << typed << '"';
        EXPECT_EQ(CmdLine(), "uptime /p:" + shown);
    }
}

TEST_F(OptionFormTest, OnlyControlsThatTakePartAreEnabledAndTheOthersKeepTheirTexts) {
    form.BuildCommandLine();
    EXPECT_EQ(Enabled(), "0000000000");
    view.Click(form, Control::Server);
    view.Click(form, Control::DoDates);
    EXPECT_EQ(Enabled(), "1111100001") << "no option button selected: the day count";
    view.Type(form, Control::NameIPAddress, "SRV01");
    view.Click(form, Control::DateSwitch);
    view.Type(form, Control::DD, "15");
    EXPECT_EQ(Enabled(), "1111111110");
    const std::string line = CmdLine();

    view.Click(form, Control::Server);
    view.Click(form, Control::DoDates);
    EXPECT_EQ(Enabled(), "0000000000");
    EXPECT_EQ(CmdLine(), "uptime");
    view.Click(form, Control::Server);
    view.Click(form, Control::DoDates);
    EXPECT_EQ(CmdLine(), line);
}

TEST_F(OptionFormTest, AHiddenLineTakesTwiceItsHeightOffTheWindow) {
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
    form.BuildCommandLine();
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
