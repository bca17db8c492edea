// The real Ombrix.exe: start-up with and without an options file, the ways out that save the
// options or not, and Launch Uptime with a failing tool and a cancelled one.
#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "ui/ombrix_session.h"

namespace ombrix::uitest {
namespace {

TEST(UiStartupAndExit, DefaultsWithoutAFileAndOnlyExitSaves) {
    OmbrixSession app;
    options::OptionState saved = DefaultOptions();
    saved.machineName = "SRV01";
    saved.showEvents = true;
    for (const bool exitButton : {false, true}) {
        app.Start();
        EXPECT_EQ(app.Text(Control::CommandLine) + "|" + app.Text(Control::MachineName) + "|" +
                      app.Text(Control::Day) + "|" + app.Text(Control::DayCount),
                  "uptime|Name/IP Address|01|5");
        EXPECT_TRUE(::IsWindowVisible(app.ControlWindow(Control::CommandLine)));
        EXPECT_FALSE(::IsWindowEnabled(app.ControlWindow(Control::MachineName)));
        ::SendMessageA(app.ControlWindow(Control::ShowEvents), BM_CLICK, 0, 0);
        ::SendMessageA(app.ControlWindow(Control::MachineName), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>("SRV01"));
        exitButton ? app.Press(Control::ExitButton) : app.Post(WM_SYSCOMMAND, SC_CLOSE);
        ASSERT_TRUE(app.WaitForExit()) << exitButton;
        // The close box, like start-up, writes nothing.
        EXPECT_EQ(app.ReadOptions(),
                  exitButton ? std::optional(OptionsFileOf(saved, "")) : std::nullopt);
    }
}

TEST(UiStartup, RestoredOptionsWithAHiddenCommandLineOpenCollapsed) {
    OmbrixSession app;
    options::OptionState options = DefaultOptions();
    options.remoteMachine = true;
    options.machineName = "SRV01";
    options.showEvents = true;
    options.showCommandLine = false;
    app.WriteOptions(options, app.Tool().string());
    app.Start();
    EXPECT_EQ(app.Text(Control::CommandLine), "uptime SRV01 /s");
    EXPECT_FALSE(::IsWindowVisible(app.ControlWindow(Control::CommandLine)));
    RECT collapsed{};
    ::GetWindowRect(app.Main(), &collapsed);
    app.Post(WM_COMMAND, main::win32::kMenuShowCommandLine);
    ASSERT_TRUE(
        WaitUntil([&] { return ::IsWindowVisible(app.ControlWindow(Control::CommandLine)); }));
    RECT expanded{};
    ::GetWindowRect(app.Main(), &expanded);
    EXPECT_LT(collapsed.bottom - collapsed.top, expanded.bottom - expanded.top);
}

TEST(UiLaunch, FailingToolShowsItsOwnTextInAMessageBox) {
    OmbrixSession app;
    options::OptionState options = DefaultOptions();
    options.remoteMachine = true;
    options.machineName = "FARAWAY";
    app.WriteOptions(options, app.Tool().string());
    // The tool run as the user's shell would run it.
    FILE* pipe = ::_popen(("\"\"" + app.Tool().string() + "\" FARAWAY\"").c_str(), "rb");
    ASSERT_NE(pipe, nullptr);
    std::string direct;
    for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe)) {
        direct += static_cast<char>(c);
    }
    ASSERT_NE(::_pclose(pipe), 0) << "the tool does not fail for a remote machine";
    app.Start();
    app.Press(Control::LaunchButton);
    EXPECT_EQ(app.AnswerMessageBox(), direct);
    ExpectIdle(app);
}

TEST(UiLaunch, CancelStopsALongRunningTool) {
    OmbrixSession app;
    // A tool that waits long, as for a remote machine, and then would print.
    fs::copy_file(test::HelperProgram("child_probe"), app.Tool(),
                  fs::copy_options::overwrite_existing);
    options::OptionState options = DefaultOptions();
    options.remoteMachine = true;
    options.machineName = "--sleep 30000 --hex 41";
    app.WriteOptions(options, app.Tool().string());
    app.Start();
    app.Press(Control::LaunchButton);
    HWND busy = app.WaitForWindow("OmbrixBusy");
    ASSERT_NE(busy, nullptr);
    ::PostMessageA(busy, WM_COMMAND, 101, 0);  // Cancel
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(busy); }));
    std::this_thread::sleep_for(200ms);  // time for anything that would wrongly follow
    ExpectIdle(app);
}

}  // namespace
}  // namespace ombrix::uitest
