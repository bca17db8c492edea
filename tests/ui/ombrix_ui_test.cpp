// The real Ombrix.exe: start-up without an options file, the ways out that save the options or
// not (a read-only file kept), and the ways Launch Uptime ends.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "main/win32/busy_waiter.h"
#include "ui/ombrix_session.h"

namespace ombrix::uitest {
namespace {

// Start-up without a file, the close box that saves nothing, Exit that saves, and Exit onto a
// read-only file that keeps it.
TEST(UiStartupAndExit, DefaultsWithoutAFileAndOnlyExitSavesButNotOverAReadOnlyFile) {
    OmbrixSession app;
    options::OptionState saved = DefaultOptions();
    saved.machineName = "SRV01";
    saved.showEvents = true;
    const std::string file = app.Path("ombrixopts.cfg").string();
    for (const int round : {0, 1, 2}) {
        if (round == 2) {
            ASSERT_TRUE(::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
        }
        app.Start();
        // Changed in the last round: a save would show.
        ::SendMessageA(app.ControlWindow(Control::ShowEvents), BM_CLICK, 0, 0);
        ::SendMessageA(app.ControlWindow(Control::MachineName), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>("SRV01"));
        round == 0 ? app.Post(WM_SYSCOMMAND, SC_CLOSE) : app.Press(Control::ExitButton);
        if (round == 2) {
            const std::string said = app.AnswerMessageBox();
            EXPECT_EQ(said.rfind("Ombrix has not saved its options: " + file + " is read-only", 0),
                      0u)
                << said;
        }
        ASSERT_TRUE(app.WaitForExit()) << round;
        // The close box, like start-up, writes nothing.
        EXPECT_EQ(fs::exists(file) ? test::ReadFile(file) : "(none)",
                  round == 0 ? "(none)" : OptionsFileOf(saved, ""));
    }
    EXPECT_NE(::GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << "the mark went";
    ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A tool whose path is too long to start, then one located through Program Location that waits
// long and is cancelled: each ends with nothing left open or on disk, and the refusal stops no
// later launch.
TEST(UiLaunch, ARefusedAndACancelledLaunchEachEndIdle) {
    OmbrixSession app;
    const std::string tooLong =
        (app.Path("temp").parent_path() / std::string(1000, 'd') / "uptime.exe").string();
    options::OptionState options = DefaultOptions();
    options.remoteMachine = true;
    options.machineName = "--sleep 30000 --hex 41";  // for the waiting tool
    app.WriteOptions(options, tooLong);
    app.Start();
    app.Press(Control::LaunchButton);
    // The refusal's wording is the runner's test, under Wine too.
    const std::string said = app.AnswerMessageBox();
    EXPECT_EQ(said.rfind("Ombrix cannot start UPTIME.EXE: its path is", 0), 0u) << said;
    ExpectIdle(app);

    // A tool that waits long, as for a remote machine, and then would print.
    const std::string waiting = test::HelperProgram("child_probe");
    // Located through Program Location, as if typed into the Open dialog's file name box (cmb13).
    app.Post(WM_COMMAND, main::win32::kMenuProgramLocation);
    HWND dialog = app.WaitForWindow("#32770");
    HWND name = ::GetDlgItem(dialog, 0x47C);
    ASSERT_NE(name, nullptr) << "no Open dialog";
    ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(waiting.c_str()));
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(drive::WaitUntilGone(dialog, 5s));
    app.Press(Control::LaunchButton);
    HWND busy = app.WaitForWindow(main::win32::kCancelWindowClass);
    ASSERT_NE(busy, nullptr) << "the launch after the refusal did not run";
    drive::PressButton(busy, main::win32::kCancelButton);
    ASSERT_TRUE(drive::WaitUntilGone(busy, 5s));
    std::this_thread::sleep_for(200ms);  // time for anything that would wrongly follow
    ExpectIdle(app);
}

}  // namespace
}  // namespace ombrix::uitest
