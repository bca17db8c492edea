// The real Ombrix.exe: start-up with and without an options file, the ways out that save the
// options or not, and Launch Uptime with the results, a failing tool and a cancelled one.
#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "results/win32/results_window_ids.h"
#include "ui/ombrix_session.h"

namespace ombrix::uitest {
namespace {

TEST(UiStartup, WithoutAnOptionsFileTakesTheDefaultsAndWritesNothing) {
    OmbrixSession app;
    app.Start();
    const std::pair<Control, std::string> texts[] = {{Control::CmdLine, "uptime"},
                                                     {Control::NameIPAddress, "Name/IP Address"},
                                                     {Control::pd, "5"},
                                                     {Control::DD, "01"}};
    for (const auto& [control, text] : texts) {
        EXPECT_EQ(app.Text(control), text) << static_cast<int>(control);
    }
    EXPECT_TRUE(::IsWindowVisible(app.ControlWindow(Control::CmdLine)));
    EXPECT_FALSE(::IsWindowEnabled(app.ControlWindow(Control::NameIPAddress)));
    EXPECT_FALSE(app.ReadOptions());
}

TEST(UiStartup, RestoredOptionsWithAHiddenCommandLineOpenCollapsed) {
    OmbrixSession app;
    std::vector<std::string> lines = DefaultOptionLines(app.Tool().string());
    lines[4] = "True";  // Server
    lines[5] = "SRV01";
    lines[6] = "True";  // /s
    lines[13] = "False";
    app.WriteOptions(lines);
    app.Start();
    EXPECT_EQ(app.Text(Control::CmdLine), "uptime SRV01 /s");
    EXPECT_FALSE(::IsWindowVisible(app.ControlWindow(Control::CmdLine)));
    RECT collapsed{};
    ::GetWindowRect(app.Main(), &collapsed);
    app.Post(WM_COMMAND, main::win32::kMenuShowCommandLine);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(app.ControlWindow(Control::CmdLine)); }));
    RECT expanded{};
    ::GetWindowRect(app.Main(), &expanded);
    EXPECT_LT(collapsed.bottom - collapsed.top, expanded.bottom - expanded.top);
}

TEST(UiExit, ExitSavesTheOptionsAndTheCloseBoxLeavesTheFileAlone) {
    OmbrixSession app;
    const std::vector<std::string> lines = DefaultOptionLines(app.Tool().string());
    std::vector<std::string> saved = lines;
    saved[5] = "SRV01";
    saved[6] = "True";  // /s
    for (const bool exitButton : {true, false}) {
        app.WriteOptions(lines);
        app.Start();
        ::SendMessageA(app.ControlWindow(Control::SSwitch), BM_CLICK, 0, 0);
        ::SendMessageA(app.ControlWindow(Control::NameIPAddress), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>("SRV01"));
        exitButton ? app.Press(Control::ExitButton) : app.Post(WM_SYSCOMMAND, SC_CLOSE);
        ASSERT_TRUE(app.WaitForExit()) << exitButton;
        EXPECT_EQ(app.ReadOptions(), FileOf(exitButton ? saved : lines)) << exitButton;
    }
}

// Nothing of a launch left open, running or on disk.
void ExpectIdle(OmbrixSession& app) {
    EXPECT_TRUE(WaitUntil([&] { return app.TempFiles().empty(); })) << "a file is left";
    EXPECT_EQ(app.RunningTools(), 0);
    for (const char* window : {"OmbrixResults", "OmbrixBusy", "#32770"}) {
        EXPECT_EQ(app.Find(window), nullptr) << window;
    }
    EXPECT_TRUE(::IsWindowEnabled(app.Main()));
}

TEST(UiLaunch, ResultsShowTheToolsOutputAndTheTemporaryFileGoesWithThem) {
    OmbrixSession app;
    app.WriteOptions(DefaultOptionLines(app.Tool().string()));
    app.Start();
    app.Press(Control::LaunchIt);
    HWND results = app.WaitForWindow(results::win32::kResultsWindowClass);
    const std::string shown = TextOf(::GetDlgItem(results, results::win32::kUptimeDump));
    EXPECT_NE(shown.find(" has been up for: "), std::string::npos) << shown;
    EXPECT_FALSE(::IsWindowEnabled(app.Main())) << "the results window is not modal";
    const std::vector<fs::path> files = app.TempFiles();
    ASSERT_EQ(files.size(), 1u) << "the output is not in the temporary folder";
    EXPECT_EQ(test::ReadFile(files[0].string()), shown);
    ::PostMessageA(results, WM_COMMAND, results::win32::kExitButton, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(results); }));
    ExpectIdle(app);
}

TEST(UiLaunch, FailingToolShowsItsOwnTextInAMessageBox) {
    OmbrixSession app;
    std::vector<std::string> lines = DefaultOptionLines(app.Tool().string());
    lines[4] = "True";  // Server
    lines[5] = "FARAWAY";
    app.WriteOptions(lines);
    // The tool run as the user's shell would run it.
    FILE* pipe = ::_popen(("\"\"" + app.Tool().string() + "\" FARAWAY\"").c_str(), "rb");
    ASSERT_NE(pipe, nullptr);
    std::string direct;
    for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe)) {
        direct += static_cast<char>(c);
    }
    ASSERT_NE(::_pclose(pipe), 0) << "the tool does not fail for a remote machine";
    app.Start();
    app.Press(Control::LaunchIt);
    EXPECT_EQ(app.AnswerMessageBox(), direct);
    ExpectIdle(app);
}

TEST(UiLaunch, CancelStopsALongRunningTool) {
    OmbrixSession app;
    fs::copy_file(test::HelperProgram("ui_slow_tool"), app.Tool(),
                  fs::copy_options::overwrite_existing);
    app.WriteOptions(DefaultOptionLines(app.Tool().string()));
    app.Start();
    app.Press(Control::LaunchIt);
    HWND busy = app.WaitForWindow("OmbrixBusy");
    EXPECT_EQ(app.RunningTools(), 1);
    ::PostMessageA(busy, WM_COMMAND, 101, 0);  // Cancel
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(busy); }));
    std::this_thread::sleep_for(200ms);  // time for anything that would wrongly follow
    ExpectIdle(app);
}

}  // namespace
}  // namespace ombrix::uitest
