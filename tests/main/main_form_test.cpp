// The main window's logic: start-up, the version guard and Program Location.
#include "main/main_form.h"
#include "main/version_check.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "options/fake_option_view.h"
#include "support/test_support.h"

namespace ombrix::main {
namespace {

using options::Control;
using platform::WindowsVersion;

class FakeFileDialogs final : public platform::FileDialogs {
  public:
    std::optional<std::string> ShowOpen(const platform::FileDialogSettings&) override {
        return answer;
    }
    std::optional<std::string> answer;  // none: Cancel
};

class NoResults final : public launch::ResultsDisplay {
  public:
    void ShowModal(std::string) override {}
};

class MainFormTest : public ::testing::Test {
  protected:
    test::ScratchDir dir_;
    std::string optionsPath_ = dir_.File("ombrixopts.cfg");
    platform::WindowsVersion version_{10, 0, 19045, 2};
    options::FakeOptionView view_;
    test::RecordingMessages messages_;
    FakeFileDialogs dialogs_;
    NoResults results_;
    base::CalendarDate today_{2026, 7, 14};
    MainForm form_{view_, MainServices{messages_, dialogs_, results_, nullptr, optionsPath_,
                                       [this] { return version_; }, [this] { return today_; }}};
};

TEST_F(MainFormTest, FirstStartShowsTheDefaults) {
    view_.PutText(Control::CommandLine, "?");
    view_.PutText(Control::Month, "?");
    ASSERT_TRUE(form_.Start());
    EXPECT_EQ(view_.Text(Control::CommandLine) + "|" + view_.Text(Control::MachineName) + "|" +
                  view_.Text(Control::Day) + "/" + view_.Text(Control::Month) + "/" +
                  view_.Text(Control::Year) + "|" + view_.Text(Control::DayCount),
              "uptime|Name/IP Address|01/7/2026|5")
        << "this month, no leading zero";
    // Every control that depends on an unchecked box starts disabled; neither period is chosen.
    for (Control c : {Control::MachineName, Control::PeriodFrame, Control::SinceDate,
                      Control::LastDays, Control::DaysLabel, Control::DayCount, Control::Day,
                      Control::Month, Control::Year, Control::DateSeparator}) {
        EXPECT_FALSE(view_.At(c).enabled) << static_cast<int>(c);
    }
    EXPECT_EQ(view_.Value(Control::SinceDate) + view_.Value(Control::LastDays), 0);
    EXPECT_TRUE(view_.At(Control::CommandLine).visible);
    EXPECT_FALSE(form_.Options().IsLoading());
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(MainFormTest, ProgramLocationSavesAtOnceAndCancelChangesNothing) {
    ASSERT_TRUE(form_.Start());
    form_.LocateTool();
    EXPECT_TRUE(form_.UptimePath().empty());
    EXPECT_FALSE(std::filesystem::exists(optionsPath_));
    EXPECT_TRUE(messages_.shown.empty()) << "Cancel is silent";

    dialogs_.answer = "C:\\Program Files\\Uptime Tools\\uptime.exe";
    form_.LocateTool();
    EXPECT_EQ(form_.UptimePath(), *dialogs_.answer);
    EXPECT_EQ(
        test::ReadFile(optionsPath_)
            .rfind("Ombrix_OptsN\r\n255\r\nC:\\Program Files\\Uptime Tools\\uptime.exe\r\n", 0),
        0u);
}

TEST(CheckStartupPlatform, EachSystemGetsItsMessage) {
    const char* const kNt = "Ombrix requires Windows NT v4 Service Pack 4 or later.";
    const struct {
        WindowsVersion version;
        const char* message;  // null: accepted
    } cases[] = {
        {{0, 0, 0, 0}, "Ombrix is not designed to run on Windows 3.11/Windows for Workgroups."},
        {{4, 10, 1998, 1}, "Ombrix is not designed to run on Windows 95/98/Me."},
        {{4, 0, 1381, 2}, kNt},
        {{4, 12, 2729, 2}, kNt},  // just below the minimum
        {{4, 0, 1381, 3}, "Ombrix cannot determine your Windows Version."},
        {{4, 12, 2730, 2}, nullptr},  // the minimum itself
        {{4, 13, 0, 2}, nullptr},
        {{5, 0, 2195, 2}, nullptr},  // Windows 2000
        {{6, 0, 0, 3}, nullptr},     // an unknown platform above the minimum
    };
    for (const auto& c : cases) {
        const auto& v = c.version;
        const base::Result<> checked = CheckStartupPlatform(v);
        EXPECT_EQ(checked ? "(accepted)" : checked.Reason(), c.message ? c.message : "(accepted)")
            << v.major << "." << v.minor << "." << v.build << " platform " << v.platformId;
    }
}

}  // namespace
}  // namespace ombrix::main
