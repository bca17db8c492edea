// Launch Uptime in the real Ombrix.exe: the checks before a run, the results window with its
// temporary file and its Copy, a tool that fails, and a tool that is cancelled while it runs.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <thread>

#include "platform/win32/window_handles.h"
#include "results/win32/results_window_ids.h"
#include "ui/ombrix_session.h"

namespace ombrix::uitest {
namespace {

namespace fs = std::filesystem;
using platform::win32::UniqueHandle;
using results::win32::kExitButton;
using results::win32::kUptimeDump;

std::string UptimeLineStart() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    ::GetComputerNameA(name, &size);
    return "\\\\" + std::string(name, size) + " has been up for: ";
}

struct ToolRun {
    std::string output;
    DWORD exitCode = 0;
};

// Runs a program as the user's shell would, its standard output in a file.
ToolRun RunDirectly(const fs::path& program, const std::string& arguments) {
    test::ScratchDir dir;
    const std::string outputPath = dir.File("out.txt");
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    ToolRun run;
    {
        UniqueHandle output(::CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                          &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!output) {
            throw std::runtime_error("cannot create " + outputPath);
        }
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output.get();
        std::string commandLine = "\"" + program.string() + "\" " + arguments;
        PROCESS_INFORMATION info{};
        if (!::CreateProcessA(program.string().c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                              CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info)) {
            throw std::runtime_error("cannot start " + program.string());
        }
        UniqueHandle process(info.hProcess);
        UniqueHandle thread(info.hThread);
        ::WaitForSingleObject(process.get(), 10'000);
        ::GetExitCodeProcess(process.get(), &run.exitCode);
    }
    // The console host may hold the file a moment longer.
    WaitUntil([&] {
        try {
            run.output = test::ReadFile(outputPath);
            return true;
        } catch (const std::runtime_error&) {
            return false;
        }
    });
    return run;
}

// Expects the program idle again after a launch: nothing of it left open, running or on disk.
void ExpectIdle(RunningOmbrix& app, const OmbrixFolder& folder) {
    EXPECT_TRUE(::IsWindowEnabled(app.Main()));
    EXPECT_FALSE(app.Has("OmbrixResults"));
    EXPECT_FALSE(app.Has("OmbrixBusy"));
    EXPECT_FALSE(app.Has("#32770"));
    EXPECT_TRUE(app.RunningTools().empty());
    const std::vector<std::string> left = folder.TempFiles();
    EXPECT_TRUE(left.empty()) << left.size() << " files left, first " << left.front();
}

struct LaunchCheck {
    const char* name;
    // The options file's lines for the tool at the given path; none: no file.
    std::function<std::vector<std::string>(const std::string& tool)> options;
    const char* message;
};

// Test names show the case's name rather than its bytes.
void PrintTo(const LaunchCheck& c, std::ostream* out) {
    *out << c.name;
}

class UiLaunchCheck : public ::testing::TestWithParam<LaunchCheck> {};

TEST_P(UiLaunchCheck, StopsTheLaunchWithItsMessage) {
    OmbrixFolder folder;
    const std::vector<std::string> lines = GetParam().options(folder.Tool().string());
    if (!lines.empty()) {
        folder.WriteOptions(lines);
    }
    RunningOmbrix app(folder);
    app.Main();
    app.Press(Control::LaunchIt);
    const ShownMessage message = app.AnswerMessageBox();
    EXPECT_EQ(message.title, "Ombrix");
    EXPECT_EQ(message.text, GetParam().message);
    EXPECT_TRUE(message.hasIcon);
    // Nothing ran.
    std::this_thread::sleep_for(100ms);
    ExpectIdle(app, folder);
}

std::vector<std::string> With(std::vector<std::string> lines,
                              std::initializer_list<std::pair<int, const char*>> changes) {
    for (const auto& [line, text] : changes) {
        lines[static_cast<std::size_t>(line - 1)] = text;
    }
    return lines;
}

std::vector<LaunchCheck> LaunchChecks() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    static const std::string nextYear = std::to_string(now.wYear + 1);
    return {
        {"NoToolLocated", [](const std::string&) { return std::vector<std::string>{}; },
         "You need to locate UPTIME.EXE before you can launch it."},
        {"NoMachineName",
         [](const std::string& tool) {
             return With(DefaultOptionLines(tool), {{5, "True"}, {6, "Name/IP Address"}});
         },
         "You need to enter a valid network name or IP address."},
        {"NoSuchDate",
         [](const std::string& tool) {
             return With(DefaultOptionLines(tool),
                         {{4, "True"}, {9, "True"}, {10, "31"}, {11, "2"}, {12, "2005"}});
         },
         "You need to enter a valid date in the past."},
        {"DateInTheFuture",
         [](const std::string& tool) {
             return With(DefaultOptionLines(tool),
                         {{4, "True"}, {9, "True"}, {10, "1"}, {11, "1"}, {12, nextYear.c_str()}});
         },
         "You need to enter a date in the past."},
    };
}

INSTANTIATE_TEST_SUITE_P(Checks, UiLaunchCheck, ::testing::ValuesIn(LaunchChecks()),
                         [](const auto& test) { return std::string(test.param.name); });

POINT CentreOf(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

TEST(UiLaunch, ResultsShowTheOutputWhileItsFileWaits) {
    OmbrixFolder folder;
    folder.WriteOptions(DefaultOptionLines(folder.Tool().string()));
    RunningOmbrix app(folder);
    HWND main = app.Main();
    const std::regex tempName("[A-Z]{8}\\.TMP");

    const auto pressOk = [](HWND results) {
        ::PostMessageA(results, WM_COMMAND, MAKEWPARAM(kExitButton, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(results, kExitButton)));
    };
    const auto closeBox = [](HWND results) { ::PostMessageA(results, WM_SYSCOMMAND, SC_CLOSE, 0); };
    // Each closing must let the next launch through.
    const struct {
        const char* way;
        std::function<void(HWND)> close;
    } closings[] = {
        {"O.K", pressOk}, {"close box", closeBox}, {"O.K after the close box", pressOk}};
    for (const auto& closing : closings) {
        SCOPED_TRACE(closing.way);
        app.Press(Control::LaunchIt);
        HWND results = app.WaitForWindow("OmbrixResults");
        EXPECT_EQ(TextOf(results), "System Uptime Results Summary");
        EXPECT_EQ(::GetMenu(results), nullptr) << "the results window shows a menu bar";
        const POINT resultsCentre = CentreOf(RectOf(results));
        const POINT mainCentre = CentreOf(RectOf(main));
        EXPECT_NEAR(resultsCentre.x, mainCentre.x, 1);
        EXPECT_NEAR(resultsCentre.y, mainCentre.y, 1);
        EXPECT_FALSE(::IsWindowEnabled(main)) << "the results window is not modal";

        const std::string text = TextOf(::GetDlgItem(results, kUptimeDump));
        EXPECT_EQ(text.rfind(UptimeLineStart(), 0), 0u) << text;
        EXPECT_EQ(TextOf(::GetDlgItem(results, kExitButton)), "O.K");
        const std::vector<std::string> files = folder.TempFiles();
        ASSERT_EQ(files.size(), 1u) << "the output file is not in the temporary folder";
        EXPECT_TRUE(std::regex_match(files[0], tempName)) << files[0];
        EXPECT_EQ(test::ReadFile((folder.Temp() / files[0]).string()), text)
            << "the window does not show the output unchanged";

        closing.close(results);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(results); }));
        EXPECT_TRUE(WaitUntil([&] { return folder.TempFiles().empty(); }));
        ExpectIdle(app, folder);
    }
}

// The clipboard, opened by this process for a moment.
class OpenClipboard {
  public:
    explicit OpenClipboard(HWND owner = nullptr) {
        opened_ = WaitUntil([&] { return ::OpenClipboard(owner) != FALSE; }, 2s);
        if (!opened_) {
            throw std::runtime_error("cannot open the clipboard");
        }
    }
    ~OpenClipboard() { ::CloseClipboard(); }
    OpenClipboard(const OpenClipboard&) = delete;
    OpenClipboard& operator=(const OpenClipboard&) = delete;

  private:
    bool opened_ = false;
};

std::string ClipboardText() {
    OpenClipboard clipboard;
    HANDLE data = ::GetClipboardData(CF_TEXT);
    if (data == nullptr) {
        return {};
    }
    const char* text = static_cast<const char*>(::GlobalLock(data));
    std::string copy = text != nullptr ? text : "";
    ::GlobalUnlock(data);
    return copy;
}

void PutOnClipboard(const std::string& text) {
    // A window of ours owns the data; without an owner the system refuses it.
    platform::win32::UniqueWindow owner(
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    OpenClipboard clipboard(owner.get());
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (memory == nullptr) {
        throw std::runtime_error("out of memory");
    }
    std::memcpy(::GlobalLock(memory), text.c_str(), text.size() + 1);
    ::GlobalUnlock(memory);
    if (::SetClipboardData(CF_TEXT, memory) == nullptr) {
        ::GlobalFree(memory);
        throw std::runtime_error("cannot put text on the clipboard");
    }
}

TEST(UiLaunch, CopyPutsTheWholeOutputOnTheClipboard) {
    OmbrixFolder folder;
    folder.WriteOptions(DefaultOptionLines(folder.Tool().string()));
    RunningOmbrix app(folder);
    app.Main();
    PutOnClipboard("what was there before");
    app.Press(Control::LaunchIt);
    HWND results = app.WaitForWindow("OmbrixResults");
    HWND dump = ::GetDlgItem(results, kUptimeDump);
    const std::string text = TextOf(dump);
    ASSERT_GT(text.size(), 10u);
    Send(dump, EM_SETSEL, 2, 6);  // a selection plays no part

    // A right click on the text: the menu opens where the mouse is; the first item is Copy.
    // Another test's window taking the focus would close the menu unchosen: try a few times.
    const POINT at = CentreOf(RectOf(dump));
    bool copied = false;
    for (int attempt = 0; attempt < 3 && !copied; ++attempt) {
        ::PostMessageA(dump, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dump),
                       MAKELPARAM(at.x, at.y));
        HWND menu = app.WaitForWindow("#32768");
        ::PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        ASSERT_TRUE(WaitUntil([&] { return !app.Has("#32768"); })) << "the menu stays open";
        copied = WaitUntil([&] { return ClipboardText() == text; }, 1s);
    }
    EXPECT_TRUE(copied) << "clipboard: " << ClipboardText();
    EXPECT_TRUE(::IsWindowEnabled(dump));
    EXPECT_TRUE(::IsWindow(results)) << "Copy closed the results window";
    ::PostMessageA(results, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(results); }));
}

TEST(UiLaunch, FailingToolShowsItsOwnTextInAMessageBox) {
    OmbrixFolder folder;
    folder.WriteOptions(
        With(DefaultOptionLines(folder.Tool().string()), {{5, "True"}, {6, "FARAWAY"}}));
    const ToolRun direct = RunDirectly(folder.Tool(), "FARAWAY");
    ASSERT_NE(direct.exitCode, 0u) << "the tool does not fail for a remote machine";
    ASSERT_FALSE(direct.output.empty());

    RunningOmbrix app(folder);
    app.Main();
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("launch " + std::to_string(round));
        app.Press(Control::LaunchIt);
        const ShownMessage message = app.AnswerMessageBox();
        EXPECT_EQ(message.title, "Ombrix");
        EXPECT_EQ(message.text, direct.output);
        EXPECT_TRUE(WaitUntil([&] { return folder.TempFiles().empty(); }));
        ExpectIdle(app, folder);
    }
}

TEST(UiLaunch, CancelStopsALongRunningTool) {
    OmbrixFolder folder;
    fs::copy_file(test::HelperProgram("ui_slow_tool"), folder.Tool(),
                  fs::copy_options::overwrite_existing);
    folder.WriteOptions(DefaultOptionLines(folder.Tool().string()));
    RunningOmbrix app(folder);
    HWND main = app.Main();

    app.Press(Control::LaunchIt);
    const auto pressed = std::chrono::steady_clock::now();
    HWND busy = app.WaitForWindow("OmbrixBusy");
    EXPECT_GE(std::chrono::steady_clock::now() - pressed, 500ms) << "the busy window came at once";
    EXPECT_FALSE(::IsWindowEnabled(main));
    EXPECT_EQ(app.RunningTools().size(), 1u);
    EXPECT_EQ(folder.TempFiles().size(), 1u);
    HWND cancel = ::GetDlgItem(busy, 101);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(TextOf(cancel), "Cancel");

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
    app.Press(Control::LaunchIt);
    HWND results = app.WaitForWindow("OmbrixResults");
    EXPECT_EQ(TextOf(::GetDlgItem(results, kUptimeDump)).rfind(UptimeLineStart(), 0), 0u);
    ::PostMessageA(results, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(results); }));
}

}  // namespace
}  // namespace ombrix::uitest
