// The option logic driven by the events the main window sends.
#include <gtest/gtest.h>

#include "options/fake_option_view.h"
#include "options/option_form.h"

namespace ombrix::options {
namespace {

class OptionFormTest : public ::testing::Test {
  protected:
    std::string CmdLine() const { return view.Text(Control::CmdLine); }
    bool Enabled(Control c) const { return view.At(c).enabled; }

    FakeOptionView view;
    OptionForm form{view};
};

TEST_F(OptionFormTest, EveryKindOfChangeRebuildsTheLine) {
    view.Click(form, Control::Server);
    EXPECT_EQ(CmdLine(), "uptime Name/IP Address");
    view.Type(form, Control::NameIPAddress, "S");
    EXPECT_EQ(CmdLine(), "uptime S");
    view.Type(form, Control::NameIPAddress, "SR");
    EXPECT_EQ(CmdLine(), "uptime SR") << "every keystroke";
    view.Click(form, Control::ASwitch);
    view.Click(form, Control::SSwitch);
    EXPECT_EQ(CmdLine(), "uptime SR /s /a") << "order does not follow the clicks";
    view.Click(form, Control::DoDates);
    EXPECT_EQ(CmdLine(), "uptime SR /s /a /p:5");
    view.Click(form, Control::DateSwitch);
    EXPECT_EQ(CmdLine(), "uptime SR /s /a /d:3/01/2006");
    view.Type(form, Control::DD, "7");
    view.Type(form, Control::MM, "12");
    view.Type(form, Control::YYYY, "1999");
    EXPECT_EQ(CmdLine(), "uptime SR /s /a /d:12/7/1999");
    view.Click(form, Control::PSwitch);
    view.Type(form, Control::pd, "12");
    EXPECT_EQ(CmdLine(), "uptime SR /s /a /p:12");
}

TEST_F(OptionFormTest, ValuesSetFromCodeAreClicksAndTextsAreChanges) {
    form.SetValue(Control::SSwitch, kChecked);
    EXPECT_EQ(CmdLine(), "uptime /s");
    form.SetValue(Control::DoDates, kChecked);
    form.SetValue(Control::DateSwitch, 1);
    EXPECT_EQ(CmdLine(), "uptime /s /d:3/01/2006");
    form.SetValue(Control::PSwitch, 1);
    EXPECT_EQ(view.Value(Control::DateSwitch), 0) << "the option buttons form one group";
    form.SetText(Control::pd, "9");
    EXPECT_EQ(CmdLine(), "uptime /s /p:9");
    form.SetValue(Control::SSwitch, kGrayed);
    EXPECT_EQ(CmdLine(), "uptime /p:9") << "a grayed box counts as unchecked";
}

TEST_F(OptionFormTest, WhileLoadingTextsWaitButClicksRebuild) {
    form.SetLoading(true);
    form.SetText(Control::NameIPAddress, "SRV01");
    form.SetText(Control::pd, "7");
    EXPECT_EQ(CmdLine(), "uptime") << "text changes do not rebuild while loading";
    form.SetValue(Control::Server, kChecked);
    EXPECT_EQ(CmdLine(), "uptime SRV01") << "clicks rebuild even while loading";
    form.SetLoading(false);
    view.Type(form, Control::NameIPAddress, "SRV02");
    EXPECT_EQ(CmdLine(), "uptime SRV02");
}

TEST_F(OptionFormTest, ZeroDayCountsBecomeFiveAndOthersStay) {
    form.SetValue(Control::DoDates, kChecked);
    for (const char* zero : {"0", "00", "", "a", "x1", " 0", "-0", ".", "-", "0."}) {
        view.Type(form, Control::pd, zero);
        EXPECT_EQ(view.Text(Control::pd), "5") << "typed \"" << zero << "\"";
        EXPECT_EQ(CmdLine(), "uptime /p:5");
    }
    for (const char* kept : {"-1", "1", "07", "1a", " 3", ".5", "9"}) {
        view.Type(form, Control::pd, kept);
        EXPECT_EQ(view.Text(Control::pd), kept);
        EXPECT_EQ(CmdLine(), std::string("uptime /p:") + kept);
    }
}

TEST_F(OptionFormTest, ZeroDayCountIsResetDuringLoadingToo) {
    form.SetLoading(true);
    form.SetText(Control::pd, "0");
    EXPECT_EQ(view.Text(Control::pd), "5");
    form.SetText(Control::pd, "3");
    form.SetText(Control::pd, "00");
    EXPECT_EQ(view.Text(Control::pd), "5");
}

TEST_F(OptionFormTest, DisabledBoxesKeepTheirTexts) {
    view.Click(form, Control::Server);
    view.Type(form, Control::NameIPAddress, "SRV01");
    view.Click(form, Control::Server);
    EXPECT_EQ(CmdLine(), "uptime");
    EXPECT_FALSE(Enabled(Control::NameIPAddress));
    EXPECT_EQ(view.Text(Control::NameIPAddress), "SRV01");
    view.Click(form, Control::Server);
    EXPECT_EQ(CmdLine(), "uptime SRV01");

    view.Click(form, Control::DoDates);
    view.Click(form, Control::DateSwitch);
    view.Type(form, Control::DD, "15");
    const std::string withDate = CmdLine();
    view.Click(form, Control::DoDates);
    EXPECT_EQ(CmdLine(), "uptime SRV01");
    view.Click(form, Control::DoDates);
    EXPECT_EQ(CmdLine(), withDate);
}

TEST_F(OptionFormTest, OnlyControlsThatTakePartAreEnabled) {
    const Control period[] = {Control::DateFrame, Control::DateSwitch, Control::PSwitch,
                              Control::pswitchdays};
    const Control date[] = {Control::DD, Control::MM, Control::YYYY, Control::DateSP};
    form.BuildCommandLine();
    for (Control c : period)
        EXPECT_FALSE(Enabled(c));
    for (Control c : date)
        EXPECT_FALSE(Enabled(c));
    EXPECT_FALSE(Enabled(Control::pd));
    EXPECT_FALSE(Enabled(Control::NameIPAddress));

    view.Click(form, Control::DoDates);
    for (Control c : period)
        EXPECT_TRUE(Enabled(c));
    for (Control c : date)
        EXPECT_FALSE(Enabled(c));
    EXPECT_TRUE(Enabled(Control::pd)) << "neither option selected enables the day count";

    view.Click(form, Control::DateSwitch);
    for (Control c : date)
        EXPECT_TRUE(Enabled(c));
    EXPECT_FALSE(Enabled(Control::pd));

    view.Click(form, Control::DoDates);
    for (Control c : period)
        EXPECT_FALSE(Enabled(c));
    for (Control c : date)
        EXPECT_FALSE(Enabled(c));
    EXPECT_FALSE(Enabled(Control::pd));
}

TEST_F(OptionFormTest, ShowCommandLineMovesExactlyTwiceItsHeight) {
    const int height = view.windowHeight;
    const int framesTop = view.At(Control::CmdLineOpts).top;
    const int exitTop = view.At(Control::ExitButton).top;
    const int launchTop = view.At(Control::LaunchIt).top;

    form.OnShowCommandLineChosen();
    EXPECT_EQ(view.Value(Control::Menu_Settings_Cmdlin), 0);
    EXPECT_FALSE(view.At(Control::CmdLine).visible);
    EXPECT_EQ(view.windowHeight, height - 810);
    EXPECT_EQ(view.At(Control::CmdLineOpts).top, framesTop - 810);
    EXPECT_EQ(view.At(Control::ExitButton).top, exitTop - 810);
    EXPECT_EQ(view.At(Control::LaunchIt).top, launchTop) << "Launch Uptime stays put";

    form.OnShowCommandLineChosen();
    EXPECT_EQ(view.Value(Control::Menu_Settings_Cmdlin), 1);
    EXPECT_TRUE(view.At(Control::CmdLine).visible);
    EXPECT_EQ(view.windowHeight, height);
    EXPECT_EQ(view.At(Control::CmdLineOpts).top, framesTop);
    EXPECT_EQ(view.At(Control::ExitButton).top, exitTop);
}

TEST_F(OptionFormTest, StartupBuildCollapsesOnlyWhenTheLineIsHidden) {
    const int height = view.windowHeight;
    form.BuildCommandLineAtStartup();
    EXPECT_TRUE(view.At(Control::CmdLine).visible);
    EXPECT_EQ(view.windowHeight, height);

    FakeOptionView hidden;
    OptionForm hiddenForm{hidden};
    hidden.PutValue(Control::Menu_Settings_Cmdlin, 0);
    hiddenForm.BuildCommandLineAtStartup();
    EXPECT_FALSE(hidden.At(Control::CmdLine).visible);
    EXPECT_EQ(hidden.windowHeight, height - 810);
    EXPECT_EQ(hidden.At(Control::CmdLineOpts).top, 1080 - 810);
    EXPECT_EQ(hidden.At(Control::ExitButton).top, 4080 - 810);

    // Later builds follow the check mark without moving anything.
    hiddenForm.BuildCommandLine();
    EXPECT_FALSE(hidden.At(Control::CmdLine).visible);
    EXPECT_EQ(hidden.windowHeight, height - 810);
    hiddenForm.OnShowCommandLineChosen();
    EXPECT_TRUE(hidden.At(Control::CmdLine).visible);
    EXPECT_EQ(hidden.windowHeight, height);
}

TEST_F(OptionFormTest, BuildingTwiceChangesNothing) {
    view.Click(form, Control::Server);
    view.Click(form, Control::DoDates);
    const std::string line = CmdLine();
    const int height = view.windowHeight;
    form.BuildCommandLine();
    form.BuildCommandLine();
    EXPECT_EQ(CmdLine(), line);
    EXPECT_EQ(view.windowHeight, height);
}

}  // namespace
}  // namespace ombrix::options
