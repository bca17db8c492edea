// The main window's logic: start-up, the version guard, Program Location, Exit and Launch.
#include "main/main_form.h"

#include <gtest/gtest.h>

#include <filesystem>

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

// Closing the results window ends the launch cycle.
class FakeResults final : public options::ResultsDisplay {
  public:
    void ShowModal(const std::string& output) override {
        outputs.push_back(output);
        form->LaunchActiveFlag() = false;
    }
    std::vector<std::string> outputs;
    MainForm* form = nullptr;
};

class MainFormTest : public ::testing::Test {
  protected:
    MainFormTest() { results_.form = &form_; }

    test::ScratchDir dir_;
    std::string optionsPath_ = dir_.File("ombrixopts.cfg");
    platform::WindowsVersion version_{10, 0, 19045, 2};
    options::FakeOptionView view_;
    test::RecordingMessages messages_;
    FakeFileDialogs dialogs_;
    FakeResults results_;
    MainForm form_{view_, MainServices{messages_, dialogs_, results_, nullptr, optionsPath_,
                                       [this] { return version_; },
                                       [] {
                                           return shared::CalendarDate{2026, 7, 14};
                                       }}};
};

TEST_F(MainFormTest, FirstStartShowsTheDefaults) {
    const Control boxes[] = {Control::CmdLine, Control::NameIPAddress, Control::DD,
                             Control::MM,      Control::YYYY,          Control::pd};
    for (Control c : boxes) {
        view_.PutText(c, "?");  // not the texts the window is designed with
    }
    ASSERT_TRUE(form_.Form_Load());
    std::string texts;
    for (Control c : boxes) {
        texts += view_.Text(c) + "|";
    }
    EXPECT_EQ(texts, "uptime|Name/IP Address|01|7|2026|5|") << "this month, no leading zero";
    for (Control c : {Control::NameIPAddress, Control::DateFrame, Control::DateSwitch,
                      Control::PSwitch, Control::pswitchdays, Control::DD, Control::MM,
                      Control::YYYY, Control::DateSP, Control::pd}) {
        EXPECT_FALSE(view_.At(c).enabled) << static_cast<int>(c);
    }
    EXPECT_TRUE(view_.At(Control::CmdLine).visible);
    EXPECT_EQ(view_.windowHeight, options::FakeOptionView().windowHeight) << "expanded";
    EXPECT_FALSE(form_.Options().IsLoading());
    EXPECT_TRUE(form_.UptimePath().empty());
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_FALSE(std::filesystem::exists(optionsPath_)) << "nothing is written at start-up";
}

TEST_F(MainFormTest, SavedOptionsAreRestoredAndTheLineBuiltOnce) {
    test::WriteFile(optionsPath_,
                    "Ombrix_OptsN\r\n255\r\nC:\\Tools\\uptime.exe\r\nTrue\r\nTrue\r\nSRV01\r\n"
                    "True\r\nFalse\r\nTrue\r\n7\r\n3\r\n2005\r\n5\r\nFalse\r\n");
    ASSERT_TRUE(form_.Form_Load());
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(form_.UptimePath(), "C:\\Tools\\uptime.exe");
    EXPECT_EQ(view_.Text(Control::CmdLine), "uptime SRV01 /s /d:03/07/2005");
    EXPECT_EQ(view_.windowHeight, options::FakeOptionView().windowHeight - 810)
        << "line 14 False opens it collapsed";
}

TEST_F(MainFormTest, ARefusedPlatformEndsBeforeAnythingIsRead) {
    test::WriteFile(optionsPath_, "not an options file\r\n");
    version_ = platform::WindowsVersion{4, 0, 1381, 2};
    EXPECT_FALSE(form_.Form_Load());
    ASSERT_EQ(messages_.shown.size(), 1u) << "only the refusal, not the options file's message";
    EXPECT_EQ(messages_.shown[0].text, "Ombrix requires Windows NT v4 Service Pack 4 or later.");
    EXPECT_EQ(messages_.shown[0].style, platform::MessageStyle::OkExclamation);
}

TEST_F(MainFormTest, ProgramLocationSavesAtOnceAndCancelChangesNothing) {
    ASSERT_TRUE(form_.Form_Load());
    form_.Menu_Settings_PLoc_Click();
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].title, "Locate UPTIME.EXE");
    EXPECT_EQ(dialogs_.shown[0].filter, "Uptime Executable (.EXE)|uptime.exe");
    EXPECT_EQ(dialogs_.shown[0].fileName, "uptime.exe");
    EXPECT_EQ(dialogs_.shown[0].flags, 4u) << "OFN_HIDEREADONLY only";
    EXPECT_TRUE(form_.UptimePath().empty());
    EXPECT_FALSE(std::filesystem::exists(optionsPath_));
    EXPECT_TRUE(messages_.shown.empty()) << "Cancel is silent";

    dialogs_.answer = "C:\\Program Files\\Uptime Tools\\uptime.exe";
    form_.Menu_Settings_PLoc_Click();
    EXPECT_EQ(form_.UptimePath(), *dialogs_.answer);
    EXPECT_EQ(
        test::ReadFile(optionsPath_)
            .rfind("Ombrix_OptsN\r\n255\r\nC:\\Program Files\\Uptime Tools\\uptime.exe\r\n", 0),
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
    const std::string& output = results_.outputs[0];
    EXPECT_NE(output.find(" has been up for: "), std::string::npos);
    EXPECT_LT(output.find("\r\n") + 2, output.size()) << "more follows the uptime line for /s";
    EXPECT_FALSE(form_.LaunchActive());
}

}  // namespace
}  // namespace ombrix::main
