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

// Program Location's dialog, and a results window that nothing here shows.
class FakeWindows final : public platform::FileDialogs, public launch::ResultsDisplay {
  public:
    std::optional<std::string> ShowOpen(const platform::FileDialogSettings&) override {
        return answer;
    }
    void ShowModal(std::string) override {}
    std::optional<std::string> answer;  // none: Cancel
};

// First start, then Program Location cancelled and answered.
TEST(MainForm, FirstStartShowsTheDefaultsAndProgramLocationSavesAtOnceButCancelNothing) {
    test::ScratchDir dir;
    const std::string optionsPath = dir.File("ombrixopts.cfg");
    options::FakeOptionView view;
    test::RecordingMessages messages;
    FakeWindows dialogs;
    MainForm form{view, MainServices{messages, dialogs, dialogs, nullptr, optionsPath,
                                     [] {
                                         return WindowsVersion{10, 0, 19045, 2};
                                     },
                                     [] {
                                         return base::CalendarDate{2026, 7, 14};
                                     }}};
    view.PutText(Control::CommandLine, "?");
    view.PutText(Control::Month, "?");
    ASSERT_TRUE(form.Start());
    EXPECT_EQ(view.Text(Control::CommandLine) + "|" + view.Text(Control::MachineName) + "|" +
                  view.Text(Control::Day) + "/" + view.Text(Control::Month) + "/" +
                  view.Text(Control::Year) + "|" + view.Text(Control::DayCount),
              "uptime|Name/IP Address|01/7/2026|5")
        << "this month, no leading zero";
    // Every control that depends on an unchecked box starts disabled; neither period is chosen.
    for (Control c : {Control::MachineName, Control::PeriodFrame, Control::SinceDate,
                      Control::LastDays, Control::DaysLabel, Control::DayCount, Control::Day,
                      Control::Month, Control::Year, Control::DateSeparator}) {
        EXPECT_FALSE(view.At(c).enabled) << static_cast<int>(c);
    }
    EXPECT_EQ(view.Value(Control::SinceDate) + view.Value(Control::LastDays), 0);
    EXPECT_TRUE(view.At(Control::CommandLine).visible);
    EXPECT_FALSE(form.Options().IsLoading());

    form.LocateTool();
    EXPECT_FALSE(std::filesystem::exists(optionsPath));
    dialogs.answer = "C:\\Program Files\\Uptime Tools\\uptime.exe";
    form.LocateTool();
    EXPECT_EQ(
        test::ReadFile(optionsPath)
            .rfind("Ombrix_OptsN\r\n255\r\nC:\\Program Files\\Uptime Tools\\uptime.exe\r\n", 0),
        0u);
    EXPECT_TRUE(messages.shown.empty()) << "neither start-up nor Cancel says anything";
}

TEST(CheckStartupPlatform, EachSystemGetsItsMessage) {
    const char* const kNt = "Ombrix requires Windows NT v4 Service Pack 4 or later.";
    // Each version and its message; null: accepted.
    const std::pair<WindowsVersion, const char*> cases[] = {
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
    for (const auto& [v, message] : cases) {
        const base::Result<> checked = CheckStartupPlatform(v);
        EXPECT_EQ(checked ? "(accepted)" : checked.Reason(), message ? message : "(accepted)")
            << v.major << "." << v.minor << "." << v.build << " platform " << v.platformId;
    }
}

}  // namespace
}  // namespace ombrix::main
