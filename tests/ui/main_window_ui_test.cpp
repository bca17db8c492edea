// The main window of the real Ombrix.exe: start-up with and without an options file, the
// collapsed layout, the command line as the user works, the way out, Program Location and the
// refusal of an old Windows.
#include <gtest/gtest.h>

#include <utility>

#include "ui/ombrix_session.h"

namespace ombrix::uitest {
namespace {

using main::win32::kMenuExit;
using main::win32::kMenuProgramLocation;
using main::win32::kMenuShowCommandLine;

// The file dialog's controls, as the system's template numbers them.
constexpr int kFileTypeBox = 0x0470;    // cmb1
constexpr int kFileNameCombo = 0x047C;  // cmb13
constexpr int kFileNameEdit = 0x0480;   // edt1

struct Today {
    std::string month;  // without a leading zero
    std::string year;
};

Today Now() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {std::to_string(now.wMonth), std::to_string(now.wYear)};
}

std::string FileOf(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + "\r\n";
    }
    return bytes;
}

// What the user sees of the options: texts, marks and which boxes take input.
struct Expected {
    std::string cmdLine;
    std::vector<std::pair<Control, std::string>> texts;
    std::vector<Control> checked;  // of Server, SSwitch, ASwitch, DoDates, DateSwitch, PSwitch
    std::vector<Control> enabled;  // of the controls that depend on a check box
};

void ExpectOptions(RunningOmbrix& app, const Expected& expected) {
    EXPECT_EQ(app.Text(Control::CmdLine), expected.cmdLine);
    for (const auto& [control, text] : expected.texts) {
        EXPECT_EQ(app.Text(control), text) << NameOf(control);
    }
    for (Control control : {Control::Server, Control::SSwitch, Control::ASwitch, Control::DoDates,
                            Control::DateSwitch, Control::PSwitch}) {
        const bool checked = std::find(expected.checked.begin(), expected.checked.end(), control) !=
                             expected.checked.end();
        EXPECT_EQ(app.Check(control), checked ? BST_CHECKED : BST_UNCHECKED) << NameOf(control);
    }
    for (Control control : {Control::NameIPAddress, Control::DateFrame, Control::DateSwitch,
                            Control::PSwitch, Control::pswitchdays, Control::DD, Control::MM,
                            Control::YYYY, Control::DateSP, Control::pd}) {
        const bool enabled = std::find(expected.enabled.begin(), expected.enabled.end(), control) !=
                             expected.enabled.end();
        EXPECT_EQ(app.Enabled(control), enabled) << NameOf(control);
    }
    // These never depend on anything.
    for (Control control :
         {Control::CmdLine, Control::LaunchIt, Control::ExitButton, Control::CmdLineOpts,
          Control::Server, Control::SSwitch, Control::ASwitch, Control::DoDates}) {
        EXPECT_TRUE(app.Enabled(control)) << NameOf(control);
    }
}

TEST(UiStartup, WithoutOptionsFileOpensWithTheDefaults) {
    OmbrixFolder folder;
    RunningOmbrix app(folder);
    EXPECT_EQ(TextOf(app.Main()), "Windows Frontend for Microsoft Uptime");
    const Today today = Now();
    ExpectOptions(app, {"uptime",
                        {{Control::NameIPAddress, "Name/IP Address"},
                         {Control::CmdLineOpts, "Command Line Options"},
                         {Control::LaunchIt, "Launch Uptime"},
                         {Control::ExitButton, "Exit"},
                         {Control::SSwitch, "Display key system events and statistics."},
                         {Control::ASwitch, "Display application failure events."},
                         {Control::DateSwitch, "Only calculate for events after given date."},
                         {Control::PSwitch, "Only calculate events over the last"},
                         {Control::pswitchdays, "days."},
                         {Control::Server, "Perform check on remote machine."},
                         {Control::DoDates, "Start from a specified date."},
                         {Control::DateFrame, "Specify a Date."},
                         {Control::pd, "5"},
                         {Control::DD, "01"},
                         {Control::MM, today.month},
                         {Control::YYYY, today.year}},
                        {},
                        {}});
    EXPECT_TRUE(app.Visible(Control::CmdLine));
    EXPECT_NE(::GetWindowLongA(app.ControlWindow(Control::CmdLine), GWL_STYLE) & ES_READONLY, 0)
        << "the command line can be typed into";

    // Starting reads the options file but never writes it; nor does the close box.
    EXPECT_FALSE(folder.ReadOptions());
    app.CloseBox();
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_FALSE(folder.ReadOptions());
}

struct RestoreCase {
    const char* name;
    std::vector<std::string> lines;
    Expected expected;
};

// Test names show the case's name rather than its bytes.
void PrintTo(const RestoreCase& c, std::ostream* out) {
    *out << c.name;
}

class UiRestore : public ::testing::TestWithParam<RestoreCase> {};

TEST_P(UiRestore, OptionsFileSetsTheWindow) {
    OmbrixFolder folder;
    folder.WriteOptions(GetParam().lines);
    RunningOmbrix app(folder);
    app.Main();
    ExpectOptions(app, GetParam().expected);
    EXPECT_TRUE(app.Visible(Control::CmdLine));
}

std::vector<RestoreCase> RestoreCases() {
    const Today today = Now();
    return {
        {"RemoteCheckFromAGivenDate",
         {"Ombrix_OptsN", "255", "C:\\Tools\\uptime.exe", "True", "True", "SRV01", "True", "False",
          "True", "7", "3", "2005", "12", "True"},
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
        {"LastDaysWithZeroes",
         {"Ombrix_OptsN", "255", "", "False", "False", "Far Away", "False", "True", "True", "0",
          "11", "1999", "0", "True"},
         {"uptime /a /p:5",
          {{Control::NameIPAddress, "Far Away"},
           {Control::DD, "01"},
           {Control::MM, today.month},
           {Control::YYYY, today.year},
           {Control::pd, "5"}},
          {Control::ASwitch, Control::DoDates, Control::PSwitch},
          {Control::DateFrame, Control::DateSwitch, Control::PSwitch, Control::pswitchdays,
           Control::pd}}},
    };
}

INSTANTIATE_TEST_SUITE_P(Files, UiRestore, ::testing::ValuesIn(RestoreCases()),
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
    app.Main();
    EXPECT_EQ(app.Text(Control::CmdLine), "uptime");
    EXPECT_EQ(app.Check(Control::SSwitch), BST_UNCHECKED);
    EXPECT_EQ(folder.ReadOptions(), FileOf(lines));
}

struct Layout {
    RECT window;
    RECT cmdLineOpts;  // relative to the client area, as the two below
    RECT exitButton;
    RECT launchIt;
    int cmdLineHeight;
    bool cmdLineVisible;
};

Layout LayoutOf(RunningOmbrix& app) {
    HWND main = app.Main();
    return {RectOf(main),
            RectOf(app.ControlWindow(Control::CmdLineOpts), main),
            RectOf(app.ControlWindow(Control::ExitButton), main),
            RectOf(app.ControlWindow(Control::LaunchIt), main),
            HeightOf(RectOf(app.ControlWindow(Control::CmdLine))),
            app.Visible(Control::CmdLine)};
}

bool SameRect(const RECT& a, const RECT& b) {
    return ::EqualRect(&a, &b) != FALSE;
}

TEST(UiStartup, HiddenCommandLineOpensCollapsedAndTogglesBack) {
    OmbrixFolder expandedFolder;
    RunningOmbrix expandedApp(expandedFolder);
    const Layout expanded = LayoutOf(expandedApp);

    OmbrixFolder folder;
    std::vector<std::string> lines = DefaultOptionLines("");
    lines[13] = "False";
    folder.WriteOptions(lines);
    RunningOmbrix app(folder);
    const Layout collapsed = LayoutOf(app);

    const int h = expanded.cmdLineHeight;
    ASSERT_GT(h, 0);
    EXPECT_TRUE(expanded.cmdLineVisible);
    EXPECT_FALSE(collapsed.cmdLineVisible);
    EXPECT_EQ(HeightOf(expanded.window) - HeightOf(collapsed.window), 2 * h);
    EXPECT_EQ(expanded.window.right - expanded.window.left,
              collapsed.window.right - collapsed.window.left);
    EXPECT_EQ(expanded.cmdLineOpts.top - collapsed.cmdLineOpts.top, 2 * h);
    EXPECT_EQ(expanded.exitButton.top - collapsed.exitButton.top, 2 * h);
    EXPECT_EQ(HeightOf(expanded.cmdLineOpts), HeightOf(collapsed.cmdLineOpts));
    EXPECT_TRUE(SameRect(expanded.launchIt, collapsed.launchIt)) << "Launch Uptime moved";

    // Show Command Line expands to the design's layout, and chosen again collapses exactly.
    app.Choose(kMenuShowCommandLine);
    ASSERT_TRUE(WaitUntil([&] { return app.Visible(Control::CmdLine); }));
    const Layout shown = LayoutOf(app);
    EXPECT_EQ(HeightOf(shown.window), HeightOf(expanded.window));
    EXPECT_TRUE(SameRect(shown.cmdLineOpts, expanded.cmdLineOpts));
    EXPECT_TRUE(SameRect(shown.exitButton, expanded.exitButton));

    app.Choose(kMenuShowCommandLine);
    ASSERT_TRUE(WaitUntil([&] { return !app.Visible(Control::CmdLine); }));
    const Layout again = LayoutOf(app);
    EXPECT_TRUE(SameRect(again.window, collapsed.window));
    EXPECT_TRUE(SameRect(again.cmdLineOpts, collapsed.cmdLineOpts));
    EXPECT_TRUE(SameRect(again.exitButton, collapsed.exitButton));
}

TEST(UiCommandLine, FollowsEveryClickAndKeystroke) {
    OmbrixFolder folder;
    RunningOmbrix app(folder);
    app.Main();
    const Today today = Now();
    struct Step {
        const char* what;
        std::function<void()> act;
        std::string expected;
    };
    const Step steps[] = {
        {"tick Server", [&] { app.Click(Control::Server); }, "uptime Name/IP Address"},
        {"type a name", [&] { app.Type(Control::NameIPAddress, "SRV 01"); }, "uptime SRV 01"},
        {"tick ASwitch", [&] { app.Click(Control::ASwitch); }, "uptime SRV 01 /a"},
        {"tick SSwitch", [&] { app.Click(Control::SSwitch); }, "uptime SRV 01 /s /a"},
        {"tick DoDates", [&] { app.Click(Control::DoDates); }, "uptime SRV 01 /s /a /p:5"},
        {"type days", [&] { app.Type(Control::pd, "12"); }, "uptime SRV 01 /s /a /p:12"},
        {"type 0 days", [&] { app.Type(Control::pd, "0"); }, "uptime SRV 01 /s /a /p:5"},
        {"pick DateSwitch", [&] { app.Click(Control::DateSwitch); },
         "uptime SRV 01 /s /a /d:" + today.month + "/01/" + today.year},
        {"type a day", [&] { app.Type(Control::DD, "7"); },
         "uptime SRV 01 /s /a /d:" + today.month + "/7/" + today.year},
        {"type a month", [&] { app.Type(Control::MM, "3"); },
         "uptime SRV 01 /s /a /d:3/7/" + today.year},
        {"type a year", [&] { app.Type(Control::YYYY, "2006"); },
         "uptime SRV 01 /s /a /d:3/7/2006"},
        {"pick PSwitch", [&] { app.Click(Control::PSwitch); }, "uptime SRV 01 /s /a /p:5"},
        {"untick Server", [&] { app.Click(Control::Server); }, "uptime /s /a /p:5"},
        {"untick DoDates", [&] { app.Click(Control::DoDates); }, "uptime /s /a"},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(app.Text(Control::CmdLine), step.expected) << "after: " << step.what;
    }
    // What is not in use keeps its text, disabled.
    EXPECT_EQ(app.Text(Control::NameIPAddress), "SRV 01");
    EXPECT_EQ(app.Text(Control::pd), "5");
    EXPECT_EQ(app.Text(Control::DD), "7");
    for (Control control : {Control::NameIPAddress, Control::pd, Control::DD, Control::PSwitch}) {
        EXPECT_FALSE(app.Enabled(control)) << NameOf(control);
    }
    EXPECT_EQ(app.Check(Control::DateSwitch), BST_UNCHECKED);
    EXPECT_EQ(app.Check(Control::PSwitch), BST_CHECKED);
}

// The way out through the Exit button or the Exit menu item.
class UiExit : public ::testing::TestWithParam<const char*> {
  protected:
    void Leave(RunningOmbrix& app) {
        if (std::string(GetParam()) == "Button") {
            app.Press(Control::ExitButton);
        } else {
            app.Choose(kMenuExit);
        }
    }
};

TEST_P(UiExit, SavesTheOptions) {
    OmbrixFolder folder;
    RunningOmbrix app(folder);
    app.Main();
    app.Click(Control::SSwitch);
    app.Click(Control::DoDates);
    app.Type(Control::NameIPAddress, "SRV01");
    app.Type(Control::DD, "07");
    app.Type(Control::MM, "3");
    app.Type(Control::YYYY, "2005");
    app.Type(Control::pd, "12");
    app.Choose(kMenuShowCommandLine);
    ASSERT_TRUE(WaitUntil([&] { return !app.Visible(Control::CmdLine); }));

    Leave(app);
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_EQ(app.ExitCode(), 0u);
    EXPECT_EQ(folder.ReadOptions(),
              FileOf({"Ombrix_OptsN", "255", "", "False", "False", "SRV01", "True", "False", "True",
                      "7", "3", "2005", "12", "False"}));
}

TEST_P(UiExit, ReplacesALongerFileWhole) {
    OmbrixFolder folder;
    std::vector<std::string> lines = DefaultOptionLines(folder.Tool().string());
    const std::string expected = FileOf(lines);
    lines.push_back("a fifteenth line");
    lines.push_back("and more");
    folder.WriteOptions(lines);
    RunningOmbrix app(folder);
    app.Main();
    Leave(app);
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_EQ(folder.ReadOptions(), expected);
}

INSTANTIATE_TEST_SUITE_P(Ways, UiExit, ::testing::Values("Button", "Menu"),
                         [](const auto& test) { return std::string(test.param); });

TEST(UiExitByCloseBox, LeavesTheOptionsFileAsItWas) {
    OmbrixFolder folder;
    const std::vector<std::string> lines = DefaultOptionLines(folder.Tool().string());
    folder.WriteOptions(lines);
    RunningOmbrix app(folder);
    app.Main();
    app.Click(Control::SSwitch);
    app.Type(Control::NameIPAddress, "changed");
    app.CloseBox();
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_EQ(folder.ReadOptions(), FileOf(lines));
}

HWND FileNameBox(HWND dialog) {
    HWND box = ::GetDlgItem(dialog, kFileNameCombo);
    return box != nullptr ? box : ::GetDlgItem(dialog, kFileNameEdit);
}

TEST(UiProgramLocation, CancelChangesNothing) {
    OmbrixFolder folder;
    RunningOmbrix app(folder);
    app.Main();
    app.Choose(kMenuProgramLocation);
    HWND dialog = app.WaitForDialog("Locate UPTIME.EXE");
    EXPECT_EQ(TextOf(::GetDlgItem(dialog, kFileTypeBox)), "Uptime Executable (.EXE)");
    ASSERT_NE(FileNameBox(dialog), nullptr);
    EXPECT_EQ(TextOf(FileNameBox(dialog)), "uptime.exe");
    EXPECT_FALSE(::IsWindowEnabled(app.Main())) << "the dialog is not modal";

    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));
    EXPECT_FALSE(folder.ReadOptions());
    // The tool is still not located.
    app.Press(Control::LaunchIt);
    EXPECT_EQ(app.AnswerMessageBox().text,
              "You need to locate UPTIME.EXE before you can launch it.");
}

TEST(UiProgramLocation, ChosenFileIsStoredAndSavedAtOnce) {
    OmbrixFolder folder;
    RunningOmbrix app(folder);
    app.Main();
    app.Click(Control::ASwitch);
    app.Choose(kMenuProgramLocation);
    HWND dialog = app.WaitForDialog("Locate UPTIME.EXE");
    const std::string tool = folder.Tool().string();
    Send(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(tool.c_str()));
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));

    std::vector<std::string> lines = DefaultOptionLines(tool);
    lines[7] = "True";  // ASwitch
    EXPECT_TRUE(WaitUntil([&] { return folder.ReadOptions().has_value(); }, 2s));
    EXPECT_EQ(folder.ReadOptions(), FileOf(lines));
    // The launch runs the file chosen.
    app.Press(Control::LaunchIt);
    HWND results = app.WaitForWindow("OmbrixResults");
    ::PostMessageA(results, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(results); }));
}

// A per-program Wine setting that makes the program see an older Windows; removed afterwards.
class PosedVersion {
  public:
    PosedVersion(const std::string& program, const std::string& version)
        : key_("Software\\Wine\\AppDefaults\\" + program) {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot create HKCU\\" + key_);
        }
        const LONG set = ::RegSetValueExA(key, "Version", 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(version.c_str()),
                                          static_cast<DWORD>(version.size() + 1));
        ::RegCloseKey(key);
        if (set != ERROR_SUCCESS) {
            throw std::runtime_error("cannot set the Version of HKCU\\" + key_);
        }
    }
    ~PosedVersion() { ::RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str()); }
    PosedVersion(const PosedVersion&) = delete;
    PosedVersion& operator=(const PosedVersion&) = delete;

  private:
    std::string key_;
};

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
    // A name of its own, so that no other Ombrix.exe started meanwhile sees the setting.
    const std::string program = std::string("OmbrixOn") + GetParam().name + ".exe";
    OmbrixFolder folder(program);
    folder.WriteOptions(DefaultOptionLines(folder.Tool().string()));
    const std::optional<std::string> before = folder.ReadOptions();
    PosedVersion posed(program, GetParam().version);
    RunningOmbrix app(folder);

    const ShownMessage message = app.AnswerMessageBox(
        [&] { EXPECT_FALSE(app.Has("OmbrixMain")) << "the main window shows behind the refusal"; });
    EXPECT_EQ(message.title, "Ombrix");
    EXPECT_EQ(message.text, GetParam().message);
    EXPECT_TRUE(message.hasIcon);
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_FALSE(app.Has("OmbrixMain"));
    EXPECT_EQ(folder.ReadOptions(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, UiPlatform,
    ::testing::Values(
        OldWindows{"Nt4", "nt40", "Ombrix requires Windows NT v4 Service Pack 4 or later."},
        OldWindows{"Win98", "win98", "Ombrix is not designed to run on Windows 95/98/Me."}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace ombrix::uitest
