// The main window's logic: start-up, the version guard, Program Location, Exit and Launch.
#include <gtest/gtest.h>

#include <filesystem>

#include "main/main_form.h"
#include "options/fake_option_view.h"
#include "support/test_support.h"

namespace ombrix::main {
namespace {

using options::Control;

class FakeFileDialogs final : public platform::FileDialogs {
  public:
    std::optional<std::string> ShowOpen(const platform::FileDialogSettings& settings) override {
        shown.push_back(settings);
        return answer;
    }
    std::vector<platform::FileDialogSettings> shown;
    std::optional<std::string> answer;
};

class FakeResults final : public options::ResultsDisplay {
  public:
    explicit FakeResults(MainForm*& form) : form_(form) {}
    void ShowModal(const std::string& output) override {
        outputs.push_back(output);
        // Closing the results window ends the launch cycle.
        form_->LaunchActiveFlag() = false;
    }
    std::vector<std::string> outputs;

  private:
    MainForm*& form_;
};

const char kSampleFile[] =
    "Ombrix_OptsN\r\n255\r\nC:\\Tools\\uptime.exe\r\nTrue\r\nTrue\r\nSRV01\r\nTrue\r\nFalse\r\n"
    "True\r\n7\r\n3\r\n2005\r\n5\r\nFalse\r\n";

class MainFormTest : public ::testing::Test {
  protected:
    MainFormTest()
        : results_(formPointer_),
          form_(view_, MainServices{messages_, dialogs_, results_, nullptr, optionsPath_,
                                    [this] { return version_; },
                                    [] {
                                        return shared::CalendarDate{2026, 7, 14};
                                    }}) {
        formPointer_ = &form_;
    }

    bool Enabled(Control c) const { return view_.At(c).enabled; }

    test::ScratchDir dir_;
    std::string optionsPath_ = dir_.File("ombrixopts.cfg");
    platform::WindowsVersion version_{10, 0, 19045, 2};
    options::FakeOptionView view_;
    test::RecordingMessages messages_;
    FakeFileDialogs dialogs_;
    MainForm* formPointer_ = nullptr;
    FakeResults results_;
    MainForm form_;
};

TEST_F(MainFormTest, FirstStartShowsTheDefaults) {
    ASSERT_TRUE(form_.Form_Load());
    EXPECT_EQ(view_.Text(Control::CmdLine), "uptime");
    EXPECT_EQ(view_.Text(Control::NameIPAddress), "Name/IP Address");
    EXPECT_EQ(view_.Text(Control::DD), "01");
    EXPECT_EQ(view_.Text(Control::MM), "7") << "current month, no leading zero";
    EXPECT_EQ(view_.Text(Control::YYYY), "2026");
    EXPECT_EQ(view_.Text(Control::pd), "5");
    for (Control c : {Control::Server, Control::SSwitch, Control::ASwitch, Control::DoDates,
                      Control::DateSwitch, Control::PSwitch}) {
        EXPECT_EQ(view_.Value(c), 0);
    }
    for (Control c : {Control::NameIPAddress, Control::DateFrame, Control::DateSwitch,
                      Control::PSwitch, Control::pswitchdays, Control::DD, Control::MM,
                      Control::YYYY, Control::DateSP, Control::pd}) {
        EXPECT_FALSE(Enabled(c));
    }
    EXPECT_TRUE(view_.At(Control::CmdLine).visible);
    EXPECT_EQ(view_.windowHeight, options::FakeOptionView().windowHeight) << "expanded";
    EXPECT_FALSE(form_.Options().IsLoading());
    EXPECT_TRUE(form_.UptimePath().empty());
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_FALSE(std::filesystem::exists(optionsPath_)) << "nothing is written at start-up";
}

TEST_F(MainFormTest, SavedOptionsAreRestoredAndTheLineBuiltOnce) {
    test::WriteFile(optionsPath_, kSampleFile);
    ASSERT_TRUE(form_.Form_Load());
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(form_.UptimePath(), "C:\\Tools\\uptime.exe");
    EXPECT_EQ(view_.Text(Control::CmdLine), "uptime SRV01 /s /d:03/07/2005");
    EXPECT_TRUE(Enabled(Control::NameIPAddress));
    EXPECT_TRUE(Enabled(Control::DD));
    EXPECT_FALSE(Enabled(Control::pd));
    EXPECT_FALSE(view_.At(Control::CmdLine).visible) << "line 14 False hides the line";
    EXPECT_EQ(view_.windowHeight, options::FakeOptionView().windowHeight - 2 * 405);
    EXPECT_EQ(view_.At(Control::CmdLineOpts).top, 1080 - 810);
}

TEST_F(MainFormTest, ARefusedPlatformEndsBeforeAnythingIsRead) {
    test::WriteFile(optionsPath_, "not an options file\r\n");
    version_ = platform::WindowsVersion{4, 0, 1381, 2};
    EXPECT_FALSE(form_.Form_Load());
    ASSERT_EQ(messages_.shown.size(), 1u) << "only the refusal, not the options file's message";
    EXPECT_EQ(messages_.shown[0].text, "Ombrix requires Windows NT v4 Service Pack 4 or later.");
    EXPECT_EQ(messages_.shown[0].style, platform::MessageStyle::OkExclamation);
    EXPECT_EQ(test::ReadFile(optionsPath_), "not an options file\r\n");
}

TEST_F(MainFormTest, ProgramLocationSavesAtOnceAndCancelChangesNothing) {
    ASSERT_TRUE(form_.Form_Load());
    form_.Menu_Settings_PLoc_Click();
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].title, "Locate UPTIME.EXE");
    EXPECT_EQ(dialogs_.shown[0].filter, "Uptime Executable (.EXE)|uptime.exe");
    EXPECT_EQ(dialogs_.shown[0].fileName, "uptime.exe");
    EXPECT_EQ(dialogs_.shown[0].flags, 4u);
    EXPECT_TRUE(form_.UptimePath().empty());
    EXPECT_FALSE(std::filesystem::exists(optionsPath_));
    EXPECT_TRUE(messages_.shown.empty()) << "Cancel is silent";

    dialogs_.answer = "C:\\Program Files\\Uptime Tools\\uptime.exe";
    form_.Menu_Settings_PLoc_Click();
    EXPECT_EQ(form_.UptimePath(), *dialogs_.answer);
    const std::string saved = test::ReadFile(optionsPath_);
    EXPECT_EQ(
        saved.rfind("Ombrix_OptsN\r\n255\r\nC:\\Program Files\\Uptime Tools\\uptime.exe\r\n", 0),
        0u);
}

TEST_F(MainFormTest, ExitSavesWhatTheWindowShows) {
    ASSERT_TRUE(form_.Form_Load());
    view_.Click(form_.Options(), Control::Server);
    view_.Type(form_.Options(), Control::NameIPAddress, "SRV01");
    form_.Menu_Settings_Cmdlin_Click();
    form_.Exit_Click();
    EXPECT_EQ(
        test::ReadFile(optionsPath_),
        "Ombrix_OptsN\r\n255\r\n\r\nFalse\r\nTrue\r\nSRV01\r\nFalse\r\nFalse\r\nFalse\r\n1\r\n"
        "7\r\n2026\r\n5\r\nFalse\r\n");
}

TEST_F(MainFormTest, LaunchRunsTheLocatedToolAndShowsItsOutput) {
    ASSERT_TRUE(form_.Form_Load());
    dialogs_.answer = test::HelperProgram("uptime");
    form_.Menu_Settings_PLoc_Click();
    view_.Click(form_.Options(), Control::SSwitch);
    form_.LaunchIt_Click();
    ASSERT_EQ(results_.outputs.size(), 1u)
        << (messages_.shown.empty() ? "" : messages_.shown[0].text);
    EXPECT_NE(results_.outputs[0].find(" has been up for: "), std::string::npos);
    EXPECT_LT(results_.outputs[0].find("\r\n") + 2, results_.outputs[0].size())
        << "more follows the uptime line for /s";
    EXPECT_FALSE(form_.LaunchActive());
}

}  // namespace
}  // namespace ombrix::main
