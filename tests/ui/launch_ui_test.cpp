// Launch Uptime in the real Ombrix.exe: the checks before a run, the results window with its
// temporary file and its Copy, a tool that fails, and a tool that is cancelled while it runs.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <thread>

#include "results/win32/results_window_ids.h"
#include "ui/ombrix_session.h"

namespace ombrix::uitest {
namespace {

namespace fs = std::filesystem;
using results::win32::kExitButton;
using results::win32::kUptimeDump;

std::string UptimeLineStart() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    ::GetComputerNameA(name, &size);
    return "\\\\" + std::string(name, size) + " has been up for: ";
}

// Expects the program idle again after a launch: nothing of it left open, running or on disk.
void ExpectIdle(RunningOmbrix& app, const OmbrixFolder& folder) {
    EXPECT_TRUE(::IsWindowEnabled(app.Main()));
    for (const char* window : {"OmbrixResults", "OmbrixBusy", "#32770"}) {
        EXPECT_FALSE(app.Has(window)) << window;
    }
    EXPECT_TRUE(app.RunningTools().empty());
    EXPECT_TRUE(WaitUntil([&] { return folder.TempFiles().empty(); })) << "a file is left";
}

// The options file's lines, numbered from 1, changed.
std::vector<std::string> With(std::vector<std::string> lines,
                              const std::vector<std::pair<int, std::string>>& changes) {
    for (const auto& [line, text] : changes) {
        lines[static_cast<std::size_t>(line - 1)] = text;
    }
    return lines;
}

struct LaunchCheck {
    const char* name;
    std::vector<std::pair<int, std::string>> changes;  // to the default options; none: no file
    const char* message;
};

void PrintTo(const LaunchCheck& c, std::ostream* out) {
    *out << c.name;
}

class UiLaunchCheck : public ::testing::TestWithParam<LaunchCheck> {};

TEST_P(UiLaunchCheck, StopsTheLaunchWithItsMessage) {
    OmbrixFolder folder;
    if (!GetParam().changes.empty()) {
        folder.WriteOptions(With(DefaultOptionLines(folder.Tool().string()), GetParam().changes));
    }
    RunningOmbrix app(folder);
    app.Press(Control::LaunchIt);
    const ShownMessage message = app.AnswerMessageBox();
    EXPECT_EQ(message.title, "Ombrix");
    EXPECT_EQ(message.text, GetParam().message);
    EXPECT_TRUE(message.hasIcon);
    std::this_thread::sleep_for(100ms);  // time for a run that would wrongly follow
    ExpectIdle(app, folder);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, UiLaunchCheck,
    ::testing::Values(
        LaunchCheck{"NoToolLocated", {}, "You need to locate UPTIME.EXE before you can launch it."},
        LaunchCheck{"NoMachineName",
                    {{5, "True"}, {6, "Name/IP Address"}},
                    "You need to enter a valid network name or IP address."},
        LaunchCheck{"NoSuchDate",
                    {{4, "True"}, {9, "True"}, {10, "31"}, {11, "2"}, {12, "2005"}},
                    "You need to enter a valid date in the past."},
        LaunchCheck{"DateInTheFuture",
                    {{4, "True"}, {9, "True"}, {10, "1"}, {11, "1"}, {12, "2999"}},
                    "You need to enter a date in the past."}),
    [](const auto& test) { return std::string(test.param.name); });

POINT CentreOf(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Launches with the real tool; the results window, after checking it shows the tool's output.
HWND LaunchToResults(RunningOmbrix& app) {
    app.Press(Control::LaunchIt);
    HWND results = app.WaitForWindow("OmbrixResults");
    EXPECT_EQ(TextOf(::GetDlgItem(results, kUptimeDump)).rfind(UptimeLineStart(), 0), 0u);
    return results;
}

void CloseResults(HWND results) {
    ::PostMessageA(results, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(results); }));
}

TEST(UiLaunch, ResultsShowTheOutputWhileItsFileWaits) {
    OmbrixFolder folder;
    folder.WriteOptions(DefaultOptionLines(folder.Tool().string()));
    RunningOmbrix app(folder);
    HWND main = app.Main();
    // O.K, the close box, and O.K again: each closing must let the next launch through.
    for (const bool okButton : {true, false, true}) {
        HWND results = LaunchToResults(app);
        EXPECT_EQ(::GetMenu(results), nullptr) << "the results window shows a menu bar";
        const POINT resultsCentre = CentreOf(RectOf(results));
        const POINT mainCentre = CentreOf(RectOf(main));
        EXPECT_NEAR(resultsCentre.x, mainCentre.x, 1);
        EXPECT_NEAR(resultsCentre.y, mainCentre.y, 1);
        EXPECT_FALSE(::IsWindowEnabled(main)) << "the results window is not modal";
        const std::vector<std::string> files = folder.TempFiles();
        ASSERT_EQ(files.size(), 1u) << "the output file is not in the temporary folder";
        EXPECT_TRUE(std::regex_match(files[0], std::regex("[A-Z]{8}\\.TMP"))) << files[0];
        EXPECT_EQ(test::ReadFile((folder.Temp() / files[0]).string()),
                  TextOf(::GetDlgItem(results, kUptimeDump)))
            << "the window does not show the output unchanged";
        if (okButton) {
            ::PostMessageA(results, WM_COMMAND, MAKEWPARAM(kExitButton, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(results, kExitButton)));
            ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(results); }));
        } else {
            CloseResults(results);
        }
        ExpectIdle(app, folder);
    }
}

std::string ClipboardText() {
    if (!WaitUntil([] { return ::OpenClipboard(nullptr) != FALSE; }, 2s)) {
        throw std::runtime_error("cannot open the clipboard");
    }
    HANDLE data = ::GetClipboardData(CF_TEXT);
    const char* text = data != nullptr ? static_cast<const char*>(::GlobalLock(data)) : nullptr;
    std::string copy = text != nullptr ? text : "";
    if (text != nullptr) {
        ::GlobalUnlock(data);
    }
    ::EmptyClipboard();
    ::CloseClipboard();
    return copy;
}

TEST(UiLaunch, CopyPutsTheWholeOutputOnTheClipboard) {
    OmbrixFolder folder;
    folder.WriteOptions(DefaultOptionLines(folder.Tool().string()));
    RunningOmbrix app(folder);
    ClipboardText();  // emptied
    HWND results = LaunchToResults(app);
    HWND dump = ::GetDlgItem(results, kUptimeDump);
    const std::string text = TextOf(dump);
    Send(dump, EM_SETSEL, 2, 6);  // a selection plays no part

    // A right click on the text: the menu opens where the mouse is; the first item is Copy.
    // Another test's window taking the focus would close the menu unchosen: try a few times.
    const POINT at = CentreOf(RectOf(dump));
    std::string copied;
    for (int attempt = 0; attempt < 3 && copied != text; ++attempt) {
        ::PostMessageA(dump, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dump),
                       MAKELPARAM(at.x, at.y));
        HWND menu = app.WaitForWindow("#32768");
        ::PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        ASSERT_TRUE(WaitUntil([&] { return !app.Has("#32768"); })) << "the menu stays open";
        WaitUntil([&] { return (copied = ClipboardText()) == text; }, 1s);
    }
    EXPECT_EQ(copied, text);
    EXPECT_TRUE(::IsWindow(results)) << "Copy closed the results window";
    CloseResults(results);
}

TEST(UiLaunch, FailingToolShowsItsOwnTextInAMessageBox) {
    OmbrixFolder folder;
    folder.WriteOptions(
        With(DefaultOptionLines(folder.Tool().string()), {{5, "True"}, {6, "FARAWAY"}}));
    // The tool run as the user's shell would run it.
    FILE* pipe = ::_popen(("\"\"" + folder.Tool().string() + "\" FARAWAY\"").c_str(), "rb");
    ASSERT_NE(pipe, nullptr);
    std::string direct;
    for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe)) {
        direct += static_cast<char>(c);
    }
    ASSERT_NE(::_pclose(pipe), 0) << "the tool does not fail for a remote machine";
    ASSERT_FALSE(direct.empty());

    RunningOmbrix app(folder);
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("launch " + std::to_string(round));
        app.Press(Control::LaunchIt);
        const ShownMessage message = app.AnswerMessageBox();
        EXPECT_EQ(message.title, "Ombrix");
        EXPECT_EQ(message.text, direct);
        ExpectIdle(app, folder);
    }
}

TEST(UiLaunch, CancelStopsALongRunningTool) {
    OmbrixFolder folder;
    fs::copy_file(test::HelperProgram("ui_slow_tool"), folder.Tool(),
                  fs::copy_options::overwrite_existing);
    folder.WriteOptions(DefaultOptionLines(folder.Tool().string()));
    RunningOmbrix app(folder);
    app.Main();
    app.Press(Control::LaunchIt);
    const auto pressed = std::chrono::steady_clock::now();
    HWND busy = app.WaitForWindow("OmbrixBusy");
    EXPECT_GE(std::chrono::steady_clock::now() - pressed, 500ms) << "the busy window came at once";
    EXPECT_FALSE(::IsWindowEnabled(app.Main()));
    EXPECT_EQ(app.RunningTools().size(), 1u);
    EXPECT_EQ(folder.TempFiles().size(), 1u);
    HWND cancel = ::GetDlgItem(busy, 101);
    ASSERT_NE(cancel, nullptr);

    ::PostMessageA(busy, WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(busy); }));
    EXPECT_TRUE(WaitUntil([&] { return app.RunningTools().empty(); }));
    std::this_thread::sleep_for(200ms);  // time for anything that would wrongly follow
    ExpectIdle(app, folder);

    // Launch works again, here with the real tool in the same place.
    ASSERT_TRUE(WaitUntil([&] {
        std::error_code busyFile;
        fs::copy_file(test::HelperProgram("uptime"), folder.Tool(),
                      fs::copy_options::overwrite_existing, busyFile);
        return !busyFile;
    }));
    CloseResults(LaunchToResults(app));
}

}  // namespace
}  // namespace ombrix::uitest
