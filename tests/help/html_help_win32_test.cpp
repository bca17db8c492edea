// Help, Index on the real system: hhctrl.ocx opens the help file built beside this program in
// a window of class "HH Parent"; without the file the message box shows and no help window.
#include <windows.h>

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
#include "platform/win32/unique_handle.h"
#include "platform/win32/unique_module.h"
#include "platform/win32/window_handles.h"
#include "shared/shared_routines.h"
#include "support/test_support.h"

namespace ombrix::about {
namespace {

using namespace std::chrono_literals;
using platform::win32::UniqueWindow;
using platform::win32::Win32HelpViewer;

constexpr const char* kHelpWindowClass = "HH Parent";
// The message box's text and icon controls: 0x0440 is Wine's icon, 0x0014 Windows'.
constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconIds[] = {0x0440, 0x0014};

std::string TextOf(HWND window) {
    char text[1024] = {};
    const int length = ::GetWindowTextA(window, text, static_cast<int>(sizeof text));
    return std::string(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    const int length = ::GetClassNameA(window, name, static_cast<int>(sizeof name));
    return std::string(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

// Top-level windows of this process with the given class, shown or not.
std::vector<HWND> OwnWindows(const std::string& className) {
    struct Search {
        std::string className;
        std::vector<HWND> found;
    } search{className, {}};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            if (process == ::GetCurrentProcessId() && ClassOf(window) == s.className) {
                s.found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
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
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
}

// Handles messages for a while, so that a window that is to come has had every chance to.
void Pump(std::chrono::milliseconds span) {
    PumpUntil([] { return false; }, span);
}

// A plain top-level window in the main window's place.
class OwnerWindow {
  public:
    OwnerWindow()
        : window_(::CreateWindowExA(0, "STATIC", "Ombrix help test",
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300, nullptr,
                                    nullptr, ::GetModuleHandleA(nullptr), nullptr)) {}
    HWND get() const { return window_.get(); }
    std::uintptr_t id() const { return reinterpret_cast<std::uintptr_t>(window_.get()); }

  private:
    UniqueWindow window_;
};

struct SeenBox {
    std::string title;
    std::string text;
    bool icon = false;
};

// Answers this thread's message boxes with OK as they are activated, noting what they showed.
class MessageBoxWatcher {
  public:
    MessageBoxWatcher()
        : hook_(::SetWindowsHookExA(WH_CBT, &MessageBoxWatcher::Hook, nullptr,
                                    ::GetCurrentThreadId())) {
        seen_ = &boxes;
    }
    ~MessageBoxWatcher() {
        if (hook_ != nullptr) {
            ::UnhookWindowsHookEx(hook_);
        }
        seen_ = nullptr;
    }
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    bool Active() const { return hook_ != nullptr; }
    std::vector<SeenBox> boxes;

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && seen_ != nullptr) {
            HWND box = reinterpret_cast<HWND>(wParam);
            if (ClassOf(box) == "#32770" && ::GetDlgItem(box, kMessageTextId) != nullptr) {
                SeenBox seen{TextOf(box), TextOf(::GetDlgItem(box, kMessageTextId)), false};
                for (const int id : kMessageIconIds) {
                    if (HWND icon = ::GetDlgItem(box, id)) {
                        seen.icon = seen.icon || ::SendMessageA(icon, STM_GETICON, 0, 0) != 0;
                    }
                }
                seen_->push_back(seen);
                ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
            }
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK hook_;
    static inline thread_local std::vector<SeenBox>* seen_ = nullptr;
};

std::string BuiltHelpFile() {
    return HelpFilePath(platform::ProgramDirectory());
}

TEST(HtmlHelpOnWindows, IndexOpensTheHelpFileBesideTheProgram) {
    ASSERT_TRUE(shared::FileExists(BuiltHelpFile())) << BuiltHelpFile() << " was not built";
    ASSERT_TRUE(OwnWindows(kHelpWindowClass).empty());
    OwnerWindow owner;
    ASSERT_NE(owner.get(), nullptr);
    Win32HelpViewer viewer;
    test::RecordingMessages messages;

    ShowHelpIndex(owner.id(), messages, viewer, platform::ProgramDirectory());

    EXPECT_TRUE(messages.shown.empty());
    std::vector<HWND> help;
    ASSERT_TRUE(PumpUntil([&] { return !(help = OwnWindows(kHelpWindowClass)).empty(); }));
    ASSERT_EQ(help.size(), 1u);
    EXPECT_EQ(TextOf(help[0]), OMBRIX_HELP_TITLE);
    EXPECT_TRUE(::IsWindowVisible(help[0]));
    EXPECT_EQ(::GetWindow(help[0], GW_OWNER), owner.get());

    ::SendMessageA(help[0], WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return OwnWindows(kHelpWindowClass).empty(); }));
    // The owner lives on: the help window was a window of its own.
    EXPECT_TRUE(::IsWindow(owner.get()));
}

TEST(HtmlHelpOnWindows, ShowHelpFileAnswersWithTheHelpWindow) {
    ASSERT_TRUE(shared::FileExists(BuiltHelpFile()));
    OwnerWindow owner;
    {
        Win32HelpViewer viewer;
        const platform::HelpCall call = ShowHelpFile(viewer, owner.id(), BuiltHelpFile());
        ASSERT_TRUE(call.viewerAvailable) << call.reason;
        const std::vector<HWND> help = OwnWindows(kHelpWindowClass);
        ASSERT_EQ(help.size(), 1u);
        EXPECT_EQ(call.window, reinterpret_cast<std::uintptr_t>(help[0]));
    }
    // The viewer closes its windows before it lets the library go.
    EXPECT_TRUE(PumpUntil([&] { return OwnWindows(kHelpWindowClass).empty(); }));
}

TEST(HtmlHelpOnWindows, WithoutTheFileTheMessageShowsAndNoHelpWindow) {
    test::ScratchDir folder;  // a program folder without the help file
    OwnerWindow owner;
    Win32HelpViewer viewer;
    platform::win32::Win32MessageBoxes boxes(owner.get());
    MessageBoxWatcher watcher;
    ASSERT_TRUE(watcher.Active());

    ShowHelpIndex(owner.id(), boxes, viewer, folder.path().string());

    ASSERT_EQ(watcher.boxes.size(), 1u);
    EXPECT_EQ(watcher.boxes[0].title, "Ombrix");
    EXPECT_EQ(watcher.boxes[0].text, "Help not available at this time.");
    EXPECT_TRUE(watcher.boxes[0].icon);
    Pump(300ms);
    EXPECT_TRUE(OwnWindows(kHelpWindowClass).empty());
}

TEST(HtmlHelpOnWindows, AViewerThatCannotBeLoadedIsToldApart) {
    ASSERT_TRUE(shared::FileExists(BuiltHelpFile()));
    OwnerWindow owner;
    Win32HelpViewer viewer("ombrix-no-such-viewer.ocx");
    platform::win32::Win32MessageBoxes boxes(owner.get());
    MessageBoxWatcher watcher;

    ShowHelpIndex(owner.id(), boxes, viewer, platform::ProgramDirectory());

    ASSERT_EQ(watcher.boxes.size(), 1u);
    EXPECT_EQ(watcher.boxes[0].title, "Ombrix");
    const std::string& text = watcher.boxes[0].text;
    EXPECT_EQ(text.rfind(kHelpViewerMissingMessage, 0), 0u) << text;
    EXPECT_NE(text.find("ombrix-no-such-viewer.ocx"), std::string::npos) << text;
    EXPECT_TRUE(watcher.boxes[0].icon);
    Pump(300ms);
    EXPECT_TRUE(OwnWindows(kHelpWindowClass).empty());
}

std::string TestLibrary(const std::string& name) {
    return platform::ProgramDirectory() + "\\" + name + ".dll";
}

TEST(HtmlHelpOnWindows, ALibraryWithoutHtmlHelpIsNoViewerAndIsLetGo) {
    const std::string library = TestLibrary("ombrix_not_a_viewer");
    ASSERT_TRUE(shared::FileExists(library));
    ASSERT_EQ(::GetModuleHandleA(library.c_str()), nullptr);
    Win32HelpViewer viewer(library);
    const platform::HelpCall call =
        viewer.Show(0, BuiltHelpFile(), platform::HelpCommand::DisplayTopic, 0);
    EXPECT_FALSE(call.viewerAvailable);
    EXPECT_EQ(call.window, 0u);
    EXPECT_NE(call.reason.find("HtmlHelpA"), std::string::npos) << call.reason;
    EXPECT_EQ(::GetModuleHandleA(library.c_str()), nullptr);
}

// What the viewer handed to HtmlHelpA, read back from a library that notes it.
class RecordingLibrary {
  public:
    struct Call {
        std::uintptr_t owner;
        std::string file;
        unsigned command;
        std::uintptr_t data;
    };

    RecordingLibrary() : module_(::LoadLibraryA(TestLibrary("ombrix_recording_viewer").c_str())) {
        if (module_) {
            count_ = reinterpret_cast<CountFunction>(
                reinterpret_cast<void (*)()>(::GetProcAddress(module_.get(), "RecordedCallCount")));
            call_ = reinterpret_cast<CallFunction>(
                reinterpret_cast<void (*)()>(::GetProcAddress(module_.get(), "RecordedCall")));
        }
    }
    bool Loaded() const { return count_ != nullptr && call_ != nullptr; }

    std::vector<Call> Calls() const {
        std::vector<Call> calls;
        for (int i = 0; i < count_(); ++i) {
            HWND owner = nullptr;
            char file[MAX_PATH] = {};
            UINT command = 0;
            DWORD_PTR data = 0;
            call_(i, &owner, file, MAX_PATH, &command, &data);
            calls.push_back({reinterpret_cast<std::uintptr_t>(owner), file, command, data});
        }
        return calls;
    }

  private:
    using CountFunction = int(WINAPI*)();
    using CallFunction = void(WINAPI*)(int, HWND*, char*, int, UINT*, DWORD_PTR*);
    platform::win32::UniqueModule module_;
    CountFunction count_ = nullptr;
    CallFunction call_ = nullptr;
};

TEST(HtmlHelpOnWindows, TheViewerHandsOnEveryArgumentAndClosesItsWindowsAtTheEnd) {
    // Holding the library here keeps what it noted readable after the viewer has let it go.
    RecordingLibrary recorded;
    ASSERT_TRUE(recorded.Loaded());
    constexpr std::uintptr_t kOwner = 0x10C4;
    const std::string path = "C:\\Help Files\\OmbrixHelp.chm";
    {
        Win32HelpViewer viewer(TestLibrary("ombrix_recording_viewer"));
        const platform::HelpCall topic = ShowHelpFile(viewer, kOwner, path, 42);
        EXPECT_TRUE(topic.viewerAvailable);
        EXPECT_EQ(topic.window, 0x4242u);
        ShowHelpFile(viewer, kOwner, path);
        ASSERT_EQ(recorded.Calls().size(), 2u);
    }
    const std::vector<RecordingLibrary::Call> calls = recorded.Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].owner, kOwner);
    EXPECT_EQ(calls[0].file, path);
    EXPECT_EQ(calls[0].command, 15u);  // HH_HELP_CONTEXT
    EXPECT_EQ(calls[0].data, 42u);
    EXPECT_EQ(calls[1].owner, kOwner);
    EXPECT_EQ(calls[1].file, path);
    EXPECT_EQ(calls[1].command, 0u);  // HH_DISPLAY_TOPIC
    EXPECT_EQ(calls[1].data, 0u);
    // The viewer's end: HH_CLOSE_ALL, for every window of the viewer.
    EXPECT_EQ(calls[2].owner, 0u);
    EXPECT_EQ(calls[2].file, "(null)");
    EXPECT_EQ(calls[2].command, 0x12u);
    EXPECT_EQ(calls[2].data, 0u);
}

TEST(HtmlHelpOnWindows, AViewerNeverAskedLoadsNothing) {
    const std::string library = TestLibrary("ombrix_not_a_viewer");
    { Win32HelpViewer viewer(library); }
    EXPECT_EQ(::GetModuleHandleA(library.c_str()), nullptr);
}

// The program ends with its help window open: the system's viewer is let go at the end
// without a hang or a crash.
DWORD RunProbe(const std::string& argument) {
    std::string command = "\"" + test::HelperProgram("help_window_probe") + "\" " + argument;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        ADD_FAILURE() << "cannot start " << command << ": "
                      << platform::SystemErrorText(::GetLastError());
        return 1;
    }
    platform::win32::UniqueHandle process(info.hProcess);
    platform::win32::UniqueHandle thread(info.hThread);
    if (::WaitForSingleObject(process.get(), 30000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 99);
        ADD_FAILURE() << command << " did not end within 30 s";
        return 1;
    }
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.get(), &exitCode);
    return exitCode;
}

TEST(HtmlHelpOnWindows, TheProgramEndsCleanlyWithItsHelpOpen) {
    EXPECT_EQ(RunProbe("owned"), 0u);
    EXPECT_EQ(RunProbe("unowned"), 0u);
}

}  // namespace
}  // namespace ombrix::about
