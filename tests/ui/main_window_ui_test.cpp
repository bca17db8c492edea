// The main window of the real Ombrix.exe: start-up with and without an options file, the
// collapsed layout, the command line as the user works, the way out, Program Location and the
// refusal of an old Windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "ui/ombrix_session.h"

namespace ombrix::uitest {
namespace {

using main::win32::kMenuExit;
using main::win32::kMenuProgramLocation;
using main::win32::kMenuShowCommandLine;

// The file dialog's controls, as the system's template numbers them.
constexpr int kFileNameCombo = 0x047C;  // cmb13
constexpr int kFileNameEdit = 0x0480;   // edt1

// What the user sees of the options: texts, marks and which boxes take input.
struct Expected {
    std::string cmdLine;
    std::vector<std::pair<Control, std::string>> texts;
    std::vector<Control> checked;  // of the check boxes and option buttons
    std::vector<Control> enabled;  // of the controls that depend on a check box
};

void ExpectOptions(RunningOmbrix& app, const Expected& expected) {
    const auto in = [](const std::vector<Control>& list, Control control) {
        return std::find(list.begin(), list.end(), control) != list.end();
    };
    EXPECT_EQ(app.Text(Control::CmdLine), expected.cmdLine);
    EXPECT_TRUE(app.Visible(Control::CmdLine));
    for (const auto& [control, text] : expected.texts) {
        EXPECT_EQ(app.Text(control), text) << NameOf(control);
    }
    for (Control control : {Control::Server, Control::SSwitch, Control::ASwitch, Control::DoDates,
                            Control::DateSwitch, Control::PSwitch}) {
        EXPECT_EQ(app.Check(control), in(expected.checked, control) ? BST_CHECKED : BST_UNCHECKED)
            << NameOf(control);
    }
    for (Control control : {Control::NameIPAddress, Control::DateFrame, Control::DateSwitch,
                            Control::PSwitch, Control::pswitchdays, Control::DD, Control::MM,
                            Control::YYYY, Control::DateSP, Control::pd}) {
        EXPECT_EQ(app.Enabled(control), in(expected.enabled, control)) << NameOf(control);
    }
    for (Control control : {Control::CmdLine, Control::LaunchIt, Control::ExitButton,
                            Control::CmdLineOpts, Control::Server, Control::DoDates}) {
        EXPECT_TRUE(app.Enabled(control)) << NameOf(control);
    }
}

std::string Month() {
    return DefaultOptionLines("")[10];
}
std::string Year() {
    return DefaultOptionLines("")[11];
}

struct RestoreCase {
    const char* name;
    std::vector<std::string> lines;
    Expected expected;
};

void PrintTo(const RestoreCase& c, std::ostream* out) {
    *out << c.name;
}

class UiRestore : public ::testing::TestWithParam<RestoreCase> {};

// Start-up reads the options file, or takes the defaults without one; it never writes it.
TEST_P(UiRestore, OptionsFileSetsTheWindow) {
    OmbrixFolder folder;
    if (!GetParam().lines.empty()) {
        folder.WriteOptions(GetParam().lines);
    }
    const auto before = folder.ReadOptions();
    RunningOmbrix app(folder);
    EXPECT_NE(::GetWindowLongA(app.ControlWindow(Control::CmdLine), GWL_STYLE) & ES_READONLY, 0)
        << "the command line can be typed into";
    ExpectOptions(app, GetParam().expected);
    EXPECT_EQ(folder.ReadOptions(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UiRestore,
    ::testing::Values(
        RestoreCase{"NoFileGivesTheDefaults",
                    {},
                    {"uptime",
                     {{Control::NameIPAddress, "Name/IP Address"},
                      {Control::pd, "5"},
                      {Control::DD, "01"},
                      {Control::MM, Month()},
                      {Control::YYYY, Year()}},
                     {},
                     {}}},
        RestoreCase{
            "RemoteCheckFromAGivenDate",
            {"Ombrix_OptsN", "255", "C:\\Tools\\uptime.exe", "True", "True", "SRV01", "True",
             "False", "True", "7", "3", "2005", "12", "True"},
            {"uptime SRV01 /s /d:03/07/2005",
             {{Control::NameIPAddress, "SRV01"},
              {Control::DD, "07"},
              {Control::MM, "03"},
              {Control::YYYY, "2005"},
              {Control::pd, "12"}},
             {Control::Server, Control::SSwitch, Control::DoDates, Control::DateSwitch},
             {Control::NameIPAddress, Control::DateFrame, Control::DateSwitch, Control::PSwitch,
              Control::pswitchdays, Control::DD, Control::MM, Control::YYYY, Control::DateSP}}},
        // A day of 0 brings today's month and year back, and a day count of 0 becomes 5; the
        // name is restored while Server is off.
        RestoreCase{"LastDaysWithZeroes",
                    {"Ombrix_OptsN", "255", "", "False", "False", "Far Away", "False", "True",
                     "True", "0", "11", "1999", "0", "True"},
                    {"uptime /a /p:5",
                     {{Control::NameIPAddress, "Far Away"},
                      {Control::DD, "01"},
                      {Control::MM, Month()},
                      {Control::YYYY, Year()},
                      {Control::pd, "5"}},
                     {Control::ASwitch, Control::DoDates, Control::PSwitch},
                     {Control::DateFrame, Control::DateSwitch, Control::PSwitch,
                      Control::pswitchdays, Control::pd}}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(UiStartup, RejectedOptionsFileIsReportedAndLeftAlone) {
    OmbrixFolder folder;
    std::vector<std::string> lines = DefaultOptionLines("C:\\Tools\\uptime.exe");
    lines[0] = "Ombrix_OptsN ";
    lines[6] = "True";  // SSwitch, which must not be applied
    folder.WriteOptions(lines);
    RunningOmbrix app(folder);
    const ShownMessage message = app.AnswerMessageBox();
    EXPECT_EQ(message.title, "Ombrix");
    EXPECT_EQ(message.text, "Options file cannot be loaded! Assuming default values.");
    EXPECT_TRUE(message.hasIcon);
    EXPECT_EQ(app.Text(Control::CmdLine), "uptime");
    EXPECT_EQ(folder.ReadOptions(), FileOf(lines));
}

// The window, then CmdLineOpts, ExitButton and LaunchIt in its client area.
using Layout = std::vector<RECT>;

Layout LayoutOf(RunningOmbrix& app) {
    return {RectOf(app.Main()), RectOf(app.ControlWindow(Control::CmdLineOpts), app.Main()),
            RectOf(app.ControlWindow(Control::ExitButton), app.Main()),
            RectOf(app.ControlWindow(Control::LaunchIt), app.Main())};
}

// The window by its size only, the controls exactly.
bool Same(Layout a, Layout b) {
    for (Layout* layout : {&a, &b}) {
        ::OffsetRect(&(*layout)[0], -(*layout)[0].left, -(*layout)[0].top);
    }
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const RECT& x, const RECT& y) { return ::EqualRect(&x, &y) != FALSE; });
}

TEST(UiStartup, HiddenCommandLineOpensCollapsedAndTogglesBack) {
    OmbrixFolder expandedFolder;
    RunningOmbrix expandedApp(expandedFolder);
    const Layout expanded = LayoutOf(expandedApp);
    const RECT cmdLine = RectOf(expandedApp.ControlWindow(Control::CmdLine));
    const int h = cmdLine.bottom - cmdLine.top;
    ASSERT_GT(h, 0);

    OmbrixFolder folder;
    std::vector<std::string> lines = DefaultOptionLines("");
    lines[13] = "False";
    folder.WriteOptions(lines);
    RunningOmbrix app(folder);
    EXPECT_FALSE(app.Visible(Control::CmdLine));
    // What is below the command line moves up by twice its height, the window shrinks by as
    // much, and Launch Uptime stays.
    Layout moved = expanded;
    moved[0].bottom -= 2 * h;
    ::OffsetRect(&moved[1], 0, -2 * h);
    ::OffsetRect(&moved[2], 0, -2 * h);
    const Layout collapsed = LayoutOf(app);
    EXPECT_TRUE(Same(collapsed, moved));

    // Show Command Line expands to the design's layout, and chosen again collapses exactly.
    app.Choose(kMenuShowCommandLine);
    ASSERT_TRUE(WaitUntil([&] { return app.Visible(Control::CmdLine); }));
    EXPECT_TRUE(Same(LayoutOf(app), expanded));
    app.Choose(kMenuShowCommandLine);
    ASSERT_TRUE(WaitUntil([&] { return !app.Visible(Control::CmdLine); }));
    const Layout again = LayoutOf(app);
    EXPECT_TRUE(Same(again, collapsed));
    EXPECT_TRUE(::EqualRect(&again[0], &collapsed[0])) << "the window moved";
}

TEST(UiCommandLine, FollowsEveryClickAndKeystroke) {
    OmbrixFolder folder;
    RunningOmbrix app(folder);
    const std::string date = " /d:" + Month() + "/";
    const std::pair<std::function<void()>, std::string> steps[] = {
        {[&] { app.Click(Control::Server); }, "uptime Name/IP Address"},
        {[&] { app.Type(Control::NameIPAddress, "SRV 01"); }, "uptime SRV 01"},
        {[&] { app.Click(Control::ASwitch); }, "uptime SRV 01 /a"},
        {[&] { app.Click(Control::SSwitch); }, "uptime SRV 01 /s /a"},
        {[&] { app.Click(Control::DoDates); }, "uptime SRV 01 /s /a /p:5"},
        {[&] { app.Type(Control::pd, "12"); }, "uptime SRV 01 /s /a /p:12"},
        {[&] { app.Click(Control::DateSwitch); }, "uptime SRV 01 /s /a" + date + "01/" + Year()},
        {[&] { app.Type(Control::DD, "7"); }, "uptime SRV 01 /s /a" + date + "7/" + Year()},
        {[&] { app.Type(Control::MM, "3"); }, "uptime SRV 01 /s /a /d:3/7/" + Year()},
        {[&] { app.Type(Control::YYYY, "2006"); }, "uptime SRV 01 /s /a /d:3/7/2006"},
        {[&] { app.Click(Control::PSwitch); }, "uptime SRV 01 /s /a /p:12"},
        {[&] { app.Click(Control::Server); }, "uptime /s /a /p:12"},
        {[&] { app.Click(Control::DoDates); }, "uptime /s /a"},
    };
    for (const auto& [act, expected] : steps) {
        act();
        EXPECT_EQ(app.Text(Control::CmdLine), expected);
    }
    // What is not in use keeps its text, disabled.
    EXPECT_EQ(app.Text(Control::NameIPAddress), "SRV 01");
    EXPECT_EQ(app.Text(Control::DD), "7");
    for (Control control : {Control::NameIPAddress, Control::pd, Control::DD, Control::PSwitch}) {
        EXPECT_FALSE(app.Enabled(control)) << NameOf(control);
    }
    EXPECT_EQ(app.Check(Control::PSwitch), BST_CHECKED);
    EXPECT_EQ(app.Check(Control::DateSwitch), BST_UNCHECKED);
}

// The way out through the Exit button or the Exit menu item saves the options, replacing a
// longer file whole.
class UiExit : public ::testing::TestWithParam<const char*> {};

TEST_P(UiExit, SavesTheOptions) {
    OmbrixFolder folder;
    std::vector<std::string> lines = DefaultOptionLines(folder.Tool().string());
    lines.push_back("a fifteenth line");
    folder.WriteOptions(lines);
    RunningOmbrix app(folder);
    app.Click(Control::SSwitch);
    app.Click(Control::DoDates);
    app.Type(Control::NameIPAddress, "SRV01");
    app.Type(Control::DD, "07");
    app.Type(Control::MM, "3");
    app.Type(Control::YYYY, "2005");
    app.Type(Control::pd, "12");
    app.Choose(kMenuShowCommandLine);
    ASSERT_TRUE(WaitUntil([&] { return !app.Visible(Control::CmdLine); }));
    if (std::string(GetParam()) == "Button") {
        app.Press(Control::ExitButton);
    } else {
        app.Choose(kMenuExit);
    }
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_EQ(app.ExitCode(), 0u);
    EXPECT_EQ(folder.ReadOptions(),
              FileOf({"Ombrix_OptsN", "255", folder.Tool().string(), "False", "False", "SRV01",
                      "True", "False", "True", "7", "3", "2005", "12", "False"}));
}

INSTANTIATE_TEST_SUITE_P(Ways, UiExit, ::testing::Values("Button", "Menu"),
                         [](const auto& test) { return std::string(test.param); });

TEST(UiExitByCloseBox, LeavesTheOptionsFileAsItWas) {
    OmbrixFolder folder;
    const std::vector<std::string> lines = DefaultOptionLines(folder.Tool().string());
    folder.WriteOptions(lines);
    RunningOmbrix app(folder);
    app.Click(Control::SSwitch);
    app.Type(Control::NameIPAddress, "changed");
    app.CloseBox();
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_EQ(folder.ReadOptions(), FileOf(lines));
}

HWND OpenProgramLocation(RunningOmbrix& app) {
    app.Choose(kMenuProgramLocation);
    HWND dialog = app.WaitForWindow("#32770", 10s, "Locate UPTIME.EXE");
    EXPECT_FALSE(::IsWindowEnabled(app.Main())) << "the dialog is not modal";
    return dialog;
}

TEST(UiProgramLocation, CancelChangesNothing) {
    OmbrixFolder folder;
    RunningOmbrix app(folder);
    HWND dialog = OpenProgramLocation(app);
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));
    EXPECT_FALSE(folder.ReadOptions());
    app.Press(Control::LaunchIt);
    EXPECT_EQ(app.AnswerMessageBox().text,
              "You need to locate UPTIME.EXE before you can launch it.");
}

TEST(UiProgramLocation, ChosenFileIsStoredAndSavedAtOnce) {
    OmbrixFolder folder;
    RunningOmbrix app(folder);
    app.Click(Control::ASwitch);
    HWND dialog = OpenProgramLocation(app);
    HWND box = ::GetDlgItem(dialog, kFileNameCombo);
    box = box != nullptr ? box : ::GetDlgItem(dialog, kFileNameEdit);
    const std::string tool = folder.Tool().string();
    Send(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(tool.c_str()));
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));
    std::vector<std::string> lines = DefaultOptionLines(tool);
    lines[7] = "True";  // ASwitch
    EXPECT_TRUE(WaitUntil([&] { return folder.ReadOptions() == FileOf(lines); }, 2s))
        << folder.ReadOptions().value_or("no file");
    // The launch runs the file chosen.
    app.Press(Control::LaunchIt);
    HWND results = app.WaitForWindow("OmbrixResults");
    ::PostMessageA(results, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(results); }));
}

struct OldWindows {
    const char* name;
    const char* version;  // Wine's name for it
    const char* message;
};

void PrintTo(const OldWindows& w, std::ostream* out) {
    *out << w.name;
}

class UiPlatform : public ::testing::TestWithParam<OldWindows> {};

TEST_P(UiPlatform, OldWindowsIsRefusedBeforeTheWindowShows) {
    // A program name of its own, so that no other Ombrix.exe started meanwhile sees the
    // per-program Wine setting that poses as an older Windows.
    const std::string program = std::string("OmbrixOn") + GetParam().name + ".exe";
    const std::string key = "Software\\Wine\\AppDefaults\\" + program;
    OmbrixFolder folder(program);
    folder.WriteOptions(DefaultOptionLines(folder.Tool().string()));
    ASSERT_EQ(
        ::RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Version", REG_SZ, GetParam().version,
                          static_cast<DWORD>(std::strlen(GetParam().version) + 1)),
        ERROR_SUCCESS);
    const std::shared_ptr<void> removeKey(
        nullptr, [&](void*) { ::RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str()); });
    RunningOmbrix app(folder);
    const ShownMessage message = app.AnswerMessageBox(
        [&] { EXPECT_FALSE(app.Has("OmbrixMain")) << "the main window shows behind the refusal"; });
    EXPECT_EQ(message.title, "Ombrix");
    EXPECT_EQ(message.text, GetParam().message);
    EXPECT_TRUE(message.hasIcon);
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_FALSE(app.Has("OmbrixMain"));
    EXPECT_EQ(folder.ReadOptions(), FileOf(DefaultOptionLines(folder.Tool().string())));
}

INSTANTIATE_TEST_SUITE_P(
    Versions, UiPlatform,
    ::testing::Values(
        OldWindows{"Nt4", "nt40", "Ombrix requires Windows NT v4 Service Pack 4 or later."},
        OldWindows{"Win98", "win98", "Ombrix is not designed to run on Windows 95/98/Me."}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace ombrix::uitest
