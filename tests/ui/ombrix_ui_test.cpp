// The real Ombrix.exe: start-up with and without an options file, the ways out that save the
// options or not (a read-only file kept), and Launch Uptime with a failing tool, several machines
// typed into the Machine box, a cancelled tool and one whose path is too long to start.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <thread>

#include "drive/ombrix_windows.h"
#include "results/win32/results_window_ids.h"
#include "ui/ombrix_session.h"

namespace ombrix::uitest {
namespace {

// The tool run with `tail` as the user's shell would run it: what it printed and its exit code.
std::pair<std::string, int> RunDirectly(OmbrixSession& app, const std::string& tail) {
    FILE* pipe = ::_popen(("\"\"" + app.Tool().string() + "\" " + tail + "\"").c_str(), "rb");
    EXPECT_NE(pipe, nullptr);
    std::string printed;
    for (int c = pipe != nullptr ? std::fgetc(pipe) : EOF; c != EOF; c = std::fgetc(pipe)) {
        printed += static_cast<char>(c);
    }
    return {printed, pipe != nullptr ? ::_pclose(pipe) : -1};
}

// A report with the figures that follow the clock (this computer's last boot and time up, which
// two runs a second apart may round differently) written as '#'; every other byte kept.
std::string WithoutClockFigures(const std::string& report) {
    std::string kept;
    bool clockLine = false;
    for (std::size_t at = 0; at < report.size(); ++at) {
        if (at == 0 || report[at - 1] == '\n') {
            const std::string_view line(report.data() + at, report.size() - at);
            clockLine = line.starts_with("  as of ") ||
                        line.substr(0, line.find('\n')).find(" has been up for: ") !=
                            std::string_view::npos;
        }
        kept += clockLine && report[at] >= '0' && report[at] <= '9' ? '#' : report[at];
    }
    return kept;
}

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

TEST(UiLaunch, AFailingToolsTextIsAMessageAndSeveralMachinesTypedGiveTheFleetReport) {
    OmbrixSession app;
    options::OptionState options = DefaultOptions();
    options.remoteMachine = true;
    options.showEvents = true;
    options.machineName = "FARAWAY";
    app.WriteOptions(options, app.Tool().string());
    app.Start();
    const auto [failure, failed] = RunDirectly(app, "FARAWAY /s");
    ASSERT_NE(failed, 0) << "the tool does not fail for a remote machine";
    app.Press(Control::LaunchButton);
    EXPECT_EQ(app.AnswerMessageBox(), failure);
    ExpectIdle(app);

    // The box's text goes into the command line as it is. Wine has no remote event logs, so
    // SRV01 fails; this computer is reported.
    ::SendMessageA(app.ControlWindow(Control::MachineName), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>("\\\\SRV01 localhost"));
    EXPECT_EQ(app.Text(Control::CommandLine), "uptime \\\\SRV01 localhost /s");
    const auto [direct, code] = RunDirectly(app, "\\\\SRV01 localhost /s");
    ASSERT_EQ(code, 6) << direct;
    ASSERT_EQ(direct.rfind("Machines: 2, 1 reported, 1 failed.\r\n", 0), 0u) << direct;
    EXPECT_NE(direct.find("\r\n\\\\SRV01  failed: "), std::string::npos) << direct;
    // Some machines failed, the others are reported: a report, shown to copy, save or print.
    app.Press(Control::LaunchButton);
    HWND results = app.WaitForWindow(results::win32::kResultsWindowClass);
    ASSERT_NE(results, nullptr) << "the fleet report did not open in the results window";
    EXPECT_EQ(WithoutClockFigures(TextOf(drive::ReportView(results))), WithoutClockFigures(direct));
    ASSERT_TRUE(drive::CloseResults(results, 5s));
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

constexpr int kFileNameCombo = 0x47C;  // cmb13 of the Open dialog
constexpr int kFileNameEdit = 0x480;   // edt1, in the older dialog

// Program Location, answered with `path` as if typed into the dialog.
void LocateTool(OmbrixSession& app, const std::string& path) {
    app.Post(WM_COMMAND, main::win32::kMenuProgramLocation);
    HWND dialog = app.WaitForWindow("#32770");
    ASSERT_NE(dialog, nullptr);
    HWND name = ::GetDlgItem(dialog, kFileNameCombo);
    if (name == nullptr) {
        name = ::GetDlgItem(dialog, kFileNameEdit);
    }
    ASSERT_NE(name, nullptr);
    ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));
}

TEST(UiLongPath, AToolPathTooLongToStartIsRefusedAndLaterLaunchesRun) {
    OmbrixSession app;
    const std::string tooLong =
        (app.Path("temp").parent_path() / std::string(1000, 'd') / "uptime.exe").string();
    app.WriteOptions(DefaultOptions(), tooLong);
    app.Start();
    app.Press(Control::LaunchButton);
    const std::string said = app.AnswerMessageBox();
    EXPECT_EQ(said.rfind("Ombrix cannot start UPTIME.EXE: its path is " +
                             std::to_string(tooLong.size()) + " characters long",
                         0),
              0u)
        << said;
    // The refusal leaves no run and no file behind: the next launch runs, and ends idle.
    LocateTool(app, app.Tool().string());
    app.Press(Control::LaunchButton);
    HWND results = app.WaitForWindow(results::win32::kResultsWindowClass);
    ASSERT_NE(results, nullptr) << "the launch after the refusals did not run";
    ASSERT_TRUE(drive::CloseResults(results, 5s));
    ExpectIdle(app);
}

TEST(UiExit, AReadOnlyOptionsFileIsKeptAndExitStillEndsTheProgram) {
    OmbrixSession app;
    app.WriteOptions(DefaultOptions(), app.Tool().string());
    const std::string options = app.Path("ombrixopts.cfg").string();
    ASSERT_TRUE(::SetFileAttributesA(options.c_str(), FILE_ATTRIBUTE_READONLY));
    app.Start();
    ::SendMessageA(app.ControlWindow(Control::ShowEvents), BM_CLICK, 0, 0);
    app.Press(Control::ExitButton);
    const std::string said = app.AnswerMessageBox();
    EXPECT_EQ(said.rfind("Ombrix has not saved its options: " + options + " is read-only", 0), 0u)
        << said;
    EXPECT_TRUE(app.WaitForExit());
    const DWORD attributes = ::GetFileAttributesA(options.c_str());
    EXPECT_NE(attributes & FILE_ATTRIBUTE_READONLY, 0u) << "the mark is gone";
    ::SetFileAttributesA(options.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(app.ReadOptions(), OptionsFileOf(DefaultOptions(), app.Tool().string()));
}

}  // namespace
}  // namespace ombrix::uitest
