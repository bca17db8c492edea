// The real Ombrix.exe under Wine: a tool path longer than Windows starts programs from, and an
// options file marked read-only.
#include <gtest/gtest.h>

#include <string>

#include "results/win32/results_window_ids.h"
#include "ui/ombrix_session.h"

namespace ombrix::uitest {
namespace {

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
    const std::string refusal = "Ombrix cannot start UPTIME.EXE: its path is " +
                                std::to_string(tooLong.size()) + " characters long";
    for (int launch = 1; launch <= 2; ++launch) {
        app.Press(Control::LaunchButton);
        const std::string said = app.AnswerMessageBox();
        EXPECT_EQ(said.rfind(refusal, 0), 0u) << "launch " << launch << ": " << said;
        EXPECT_TRUE(app.TempFiles().empty()) << "a temporary file was left behind";
    }

    LocateTool(app, app.Tool().string());
    app.Press(Control::LaunchButton);
    HWND results = app.WaitForWindow(results::win32::kResultsWindowClass);
    ASSERT_NE(results, nullptr) << "the launch after the refusals did not run";
    ::PostMessageA(results, WM_COMMAND, results::win32::kExitButton, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(results); }));
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
