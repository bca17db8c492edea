// Help, Index on the real system: hhctrl.ocx opens the help file built beside this program in
// a window of class "HH Parent"; without the file or the viewer a message box shows instead.
#include <windows.h>

#include <process.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "about/html_help.h"
#include "platform/process_files.h"
#include "platform/win32/help_win32.h"
#include "platform/win32/message_boxes_win32.h"
#include "platform/win32/unique_module.h"
#include "platform/win32/window_handles.h"
#include "shared/shared_routines.h"
#include "support/test_support.h"

namespace ombrix::about {
namespace {

using namespace std::chrono_literals;
using platform::win32::Win32HelpViewer;

constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconIds[] = {0x0440, 0x0014};  // Wine's, Windows'

std::string TextOf(HWND window) {
    char text[1024] = {};
    const int length = ::GetWindowTextA(window, text, static_cast<int>(sizeof text));
    return std::string(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

// This process's help windows, shown or not.
std::vector<HWND> HelpWindows() {
    std::vector<HWND> found;
    HWND window = nullptr;
    while ((window = ::FindWindowExA(nullptr, window, "HH Parent", nullptr)) != nullptr) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        if (process == ::GetCurrentProcessId()) {
            found.push_back(window);
        }
    }
    return found;
}

// Handles this thread's messages until `done` holds or `timeout` has passed.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG message{};
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        if (done() || std::chrono::steady_clock::now() >= end) {
            return done();
        }
        std::this_thread::sleep_for(10ms);
    }
}

// A plain top-level window in the main window's place.
platform::win32::UniqueWindow OwnerWindow() {
    return platform::win32::UniqueWindow(
        ::CreateWindowExA(0, "STATIC", "Ombrix help test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                          400, 300, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr));
}

std::uintptr_t Id(HWND window) {
    return reinterpret_cast<std::uintptr_t>(window);
}

thread_local std::vector<std::string>* seenBoxes = nullptr;

// Answers this thread's message boxes with OK as they are activated, noting "title: text".
LRESULT CALLBACK AnswerMessageBox(int code, WPARAM wParam, LPARAM lParam) {
    HWND box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && ::GetDlgItem(box, kMessageTextId) != nullptr) {
        seenBoxes->push_back(TextOf(box) + ": " + TextOf(::GetDlgItem(box, kMessageTextId)));
        bool icon = false;
        for (const int id : kMessageIconIds) {
            HWND shown = ::GetDlgItem(box, id);
            icon = icon || (shown != nullptr && ::SendMessageA(shown, STM_GETICON, 0, 0));
        }
        EXPECT_TRUE(icon) << seenBoxes->back();
        ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Help, Index over an owner window with real message boxes; no help window may come after.
std::vector<std::string> IndexMessageBoxes(Win32HelpViewer&& viewer, const std::string& folder) {
    std::vector<std::string> boxes;
    seenBoxes = &boxes;
    HHOOK hook = ::SetWindowsHookExA(WH_CBT, &AnswerMessageBox, nullptr, ::GetCurrentThreadId());
    EXPECT_NE(hook, nullptr);
    const auto owner = OwnerWindow();
    platform::win32::Win32MessageBoxes messages(owner.get());
    ShowHelpIndex(Id(owner.get()), messages, viewer, folder);
    ::UnhookWindowsHookEx(hook);
    PumpUntil([] { return false; }, 300ms);
    EXPECT_TRUE(HelpWindows().empty());
    return boxes;
}

std::string BuiltHelpFile() {
    return HelpFilePath(platform::ProgramDirectory());
}

std::string TestLibrary(const std::string& name) {
    return platform::ProgramDirectory() + "\\" + name + ".dll";
}

TEST(HtmlHelpOnWindows, TheHelpFileOpensInAWindowOfItsOwnThatTheViewerClosesAtItsEnd) {
    ASSERT_TRUE(shared::FileExists(BuiltHelpFile())) << BuiltHelpFile() << " was not built";
    const auto owner = OwnerWindow();
    {
        Win32HelpViewer viewer;
        const platform::HelpCall call = ShowHelpFile(viewer, Id(owner.get()), BuiltHelpFile());
        ASSERT_TRUE(call.viewerAvailable) << call.reason;
        std::vector<HWND> help;
        ASSERT_TRUE(PumpUntil([&] { return !(help = HelpWindows()).empty(); }));
        ASSERT_EQ(help.size(), 1u);
        EXPECT_EQ(call.window, Id(help[0]));
        EXPECT_EQ(TextOf(help[0]), OMBRIX_HELP_TITLE);
        EXPECT_TRUE(::IsWindowVisible(help[0]));
        EXPECT_EQ(::GetWindow(help[0], GW_OWNER), owner.get());
    }
    EXPECT_TRUE(PumpUntil([] { return HelpWindows().empty(); }));
}

TEST(HtmlHelpOnWindows, WithoutTheFileOrTheViewerAMessageBoxSaysWhy) {
    test::ScratchDir folder;
    EXPECT_EQ(IndexMessageBoxes(Win32HelpViewer(), folder.path().string()),
              std::vector<std::string>{"Ombrix: Help not available at this time."});
    ASSERT_TRUE(shared::FileExists(BuiltHelpFile()));
    const auto boxes = IndexMessageBoxes(Win32HelpViewer("ombrix-no-such-viewer.ocx"),
                                         platform::ProgramDirectory());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Ombrix: " + std::string(kHelpViewerMissingMessage), 0), 0u)
        << boxes[0];
    EXPECT_NE(boxes[0].find("ombrix-no-such-viewer.ocx"), std::string::npos);
}

TEST(HtmlHelpOnWindows, ALibraryWithoutHtmlHelpIsNoViewerAndIsLetGo) {
    const std::string library = TestLibrary("ombrix_not_a_viewer");
    ASSERT_TRUE(shared::FileExists(library));
    Win32HelpViewer viewer(library);
    EXPECT_EQ(::GetModuleHandleA(library.c_str()), nullptr) << "loaded before it is asked";
    const platform::HelpCall call =
        viewer.Show(0, BuiltHelpFile(), platform::HelpCommand::DisplayTopic, 0);
    EXPECT_FALSE(call.viewerAvailable);
    EXPECT_EQ(call.window, 0u);
    EXPECT_NE(call.reason.find("HtmlHelpA"), std::string::npos) << call.reason;
    EXPECT_EQ(::GetModuleHandleA(library.c_str()), nullptr);
}

TEST(HtmlHelpOnWindows, TheViewerHandsOnEveryArgumentAndClosesItsWindowsAtTheEnd) {
    // Held here too, so that what it noted stays readable after the viewer has let it go.
    const std::string library = TestLibrary("ombrix_recording_viewer");
    const platform::win32::UniqueModule held(::LoadLibraryA(library.c_str()));
    ASSERT_TRUE(held);
    const auto recorded = reinterpret_cast<const char*(WINAPI*)()>(
        reinterpret_cast<void (*)()>(::GetProcAddress(held.get(), "RecordedCalls")));
    ASSERT_NE(recorded, nullptr);
    // HH_HELP_CONTEXT (15) and HH_DISPLAY_TOPIC (0) for an owner of 0x10C4, then at the end
    // HH_CLOSE_ALL (18) for every window of the viewer.
    const std::string path = "C:\\Help Files\\OmbrixHelp.chm";
    const std::string shown = "4292 " + path + " 15 42\n4292 " + path + " 0 0\n";
    {
        Win32HelpViewer viewer(library);
        const platform::HelpCall topic = ShowHelpFile(viewer, 0x10C4, path, 42);
        EXPECT_TRUE(topic.viewerAvailable);
        EXPECT_EQ(topic.window, 0x4242u);
        ShowHelpFile(viewer, 0x10C4, path);
        EXPECT_EQ(recorded(), shown);
    }
    EXPECT_EQ(recorded(), shown + "0 (null) 18 0\n");
}

// The program ends with its help window open, owned or not: the system's viewer is let go at
// the end without a hang (the test's time limit) or a crash.
TEST(HtmlHelpOnWindows, TheProgramEndsCleanlyWithItsHelpOpen) {
    const std::string probe = test::HelperProgram("help_window_probe");
    for (const char* owner : {"owned", "unowned"}) {
        EXPECT_EQ(::_spawnl(_P_WAIT, probe.c_str(), "help_window_probe", owner, nullptr), 0)
            << owner;
    }
}

}  // namespace
}  // namespace ombrix::about
