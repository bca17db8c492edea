// The real results window, shown by its own modal call: a timer of the test's thread runs one step
// a tick inside that loop (and inside the pop-up menu's and the message boxes' loops), posting
// keys as the keyboard would and looking at what came of the last step.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/twips.h"
#include "platform/win32/dpi.h"
#include "platform/win32/message_boxes_win32.h"
#include "results/report_file.h"
#include "results/win32/report_actions.h"
#include "results/win32/results_window.h"
#include "results/win32/results_window_ids.h"
#include "support/test_support.h"
#include "support/window_probe.h"

namespace ombrix::results::win32 {
namespace {

using Step = std::function<void(HWND results)>;
using test::BoxOf;
using test::FontHeight;

thread_local std::vector<Step> tSteps;
thread_local std::size_t tNext = 0;
thread_local int tIdle = 0;

// Shows `output` and runs `steps` on the window, one every 10 ms; the window is closed by force
// when it is still there 5 s after the last. True when the steps ran and closed it themselves.
bool Show(ResultsWindow& results, const std::string& output, std::vector<Step> steps) {
    tSteps = std::move(steps);
    tNext = 0;
    tIdle = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND window = ::FindWindowA(kResultsWindowClass, nullptr);
        if (tNext < tSteps.size()) {
            const std::size_t step = tNext++;  // a step may open a loop that ticks again
            tSteps[step](window);
        } else if (++tIdle == 500) {
            ::EndMenu();
            ::PostMessageA(window, WM_CLOSE, 0, 0);
        }
    });
    results.ShowModal(output);
    ::KillTimer(nullptr, timer);
    return tNext == tSteps.size() && tIdle < 500;
}

// A step that waits, tick by tick, until a visible window of `className` and `caption` is there
// (or, with `then` empty, until none is), and then runs `then` on it. After 5 s it fails and lets
// the next step run.
Step When(const char* className, const char* caption, std::function<void(HWND found)> then) {
    return [=, ticks = 0](HWND) mutable {
        HWND found = ::FindWindowA(className, caption);
        const bool shown = found != nullptr && ::IsWindowVisible(found);
        if (shown != static_cast<bool>(then) && ++ticks < 500) {
            --tNext;  // this step again at the next tick
        } else if (shown != static_cast<bool>(then)) {
            ADD_FAILURE() << className << (then ? " did not come" : " did not go");
        } else if (then) {
            then(found);
        }
    };
}

// Shift and Ctrl as the next posted keys find them.
void HoldKeys(bool shift, bool control) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

void PostKey(HWND to, WPARAM key, UINT message = WM_KEYDOWN) {
    ::PostMessageA(to, message, key, 1);
}

std::string ClipboardText() {
    std::string text = "(none)";
    for (int attempt = 0; attempt < 50 && !::OpenClipboard(nullptr); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(::GlobalLock(data));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

std::string TextOf(HWND view) {
    std::string text(static_cast<std::size_t>(::SendMessageA(view, WM_GETTEXTLENGTH, 0, 0)), ' ');
    ::SendMessageA(view, WM_GETTEXT, text.size() + 1, reinterpret_cast<LPARAM>(text.data()));
    return text;
}

std::pair<DWORD, DWORD> SelectionOf(HWND view) {
    DWORD begin = 0;
    DWORD end = 0;
    ::SendMessageA(view, EM_GETSEL, reinterpret_cast<WPARAM>(&begin),
                   reinterpret_cast<LPARAM>(&end));
    return {begin, end};
}

// The items of the pop-up menu on screen; empty when none is.
std::vector<std::string> MenuOnScreen() {
    std::vector<std::string> items;
    HWND menu = ::FindWindowA("#32768", nullptr);
    if (menu == nullptr || !::IsWindowVisible(menu)) {
        return items;
    }
    HMENU handle = reinterpret_cast<HMENU>(::SendMessageA(menu, MN_GETHMENU, 0, 0));
    for (int i = 0; i < ::GetMenuItemCount(handle); ++i) {
        char text[64] = {};
        ::GetMenuStringA(handle, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        items.emplace_back(text);
    }
    return items;
}

HWND CaretWindow() {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetCurrentThreadId(), &info);
    return info.hwndCaret;
}

class ResultsWindowTest : public ::testing::Test {
  protected:
    ~ResultsWindowTest() override { HoldKeys(false, false); }

    platform::win32::UniqueWindow main{
        ::CreateWindowExA(0, "STATIC", "Ombrix", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 800,
                          600, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr)};
    test::RecordingMessages messages;
    ResultsWindow results{main.get(), messages};
    const std::string output = "Report of \\\\HOST\r\nline two\r\nline three\r\n";
};

TEST_F(ResultsWindowTest, TheKeyboardAloneSelectsCopiesLeavesTheTextAndOpensThePopUp) {
    HWND view = nullptr;
    const auto press = [](HWND to, WPARAM key, bool shift, bool control) {
        HoldKeys(shift, control);
        PostKey(to, key);
    };
    EXPECT_TRUE(Show(
        results, output,
        {[&](HWND window) {
             view = ::GetDlgItem(window, kReportView);
             EXPECT_EQ(::GetFocus(), view);
             EXPECT_EQ(CaretWindow(), view) << "no caret to show where the focus is";
             press(view, 'A', false, true);
         },
         [&](HWND) {
             EXPECT_EQ(SelectionOf(view), std::make_pair(DWORD{0}, DWORD(output.size())));
             press(view, 'C', false, true);
         },
         [&](HWND) {
             EXPECT_EQ(ClipboardText(), output);
             ::SendMessageA(view, EM_SETSEL, 10, 16);
             press(view, VK_INSERT, false, true);
         },
         [&](HWND) {
             EXPECT_EQ(ClipboardText(), "\\\\HOST");
             press(view, VK_TAB, false, false);
         },
         [&](HWND window) {
             EXPECT_EQ(::GetFocus(), ::GetDlgItem(window, kExitButton)) << "Tab stays in the view";
             EXPECT_NE(CaretWindow(), view);
             press(::GetFocus(), VK_TAB, true, false);
         },
         [&](HWND) {
             EXPECT_EQ(::GetFocus(), view) << "Shift+Tab does not come back";
             HoldKeys(false, false);
             PostKey(view, VK_APPS);
             PostKey(view, VK_APPS, WM_KEYUP);
         },
         [&](HWND) {
             EXPECT_EQ(MenuOnScreen(),
                       (std::vector<std::string>{"Copy", "", "Save Report", "Print"}));
             ::EndMenu();
         },
         [&](HWND) {
             EXPECT_TRUE(MenuOnScreen().empty());
             press(view, VK_F10, true, false);
             ::PostMessageA(view, WM_SYSKEYDOWN, VK_F10, 1);
         },
         [&](HWND) {
             HoldKeys(false, false);
             ASSERT_EQ(MenuOnScreen().size(), 4u) << "Shift+F10 opens no menu";
             // Copy, the first item: the whole output, whatever is selected.
             PostKey(view, VK_DOWN);
             PostKey(view, VK_RETURN);
         },
         [&](HWND window) {
             EXPECT_TRUE(MenuOnScreen().empty());
             EXPECT_EQ(ClipboardText(), output);
             EXPECT_TRUE(::IsWindowEnabled(view));
             EXPECT_EQ(SelectionOf(view), std::make_pair(DWORD{10}, DWORD{16}));
             ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(kExitButton, BN_CLICKED), 0);
         }}));
    EXPECT_TRUE(messages.shown.empty());
}

// Save Report's dialog, a message box and another window each take the activation; the focus comes
// back to the control that had it.
TEST_F(ResultsWindowTest, TheFocusComesBackWhereItWasAfterADialogAMessageOrAnotherWindow) {
    ResultsWindow reporting{main.get(), messages, StandardReportActions()};
    HWND view = nullptr;
    // The pop-up menu's command `downs` presses of Down away, chosen with the keyboard.
    const auto choose = [&](int downs) {
        return std::vector<Step>{[&](HWND) {
                                     PostKey(view, VK_APPS);
                                     PostKey(view, VK_APPS, WM_KEYUP);
                                 },
                                 [&, downs](HWND) {
                                     ASSERT_EQ(MenuOnScreen().size(), 4u);
                                     for (int down = 0; down < downs; ++down) {
                                         PostKey(view, VK_DOWN);
                                     }
                                     PostKey(view, VK_RETURN);
                                 }};
    };
    std::vector<Step> steps{[&](HWND window) { view = ::GetDlgItem(window, kReportView); }};
    for (Step& step : choose(2)) {  // Save Report
        steps.push_back(step);
    }
    steps.push_back(When("#32770", kSaveReportTitle,
                         [](HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }));
    steps.push_back(When("#32770", kSaveReportTitle, {}));
    steps.push_back([&](HWND window) {
        EXPECT_EQ(::GetFocus(), view) << "after Save Report was cancelled";
        // The window's own kind of message; the next step answers it.
        platform::win32::Win32MessageBoxes(window).Show("A message",
                                                        platform::MessageStyle::OkExclamation);
        EXPECT_EQ(::GetFocus(), view) << "after a message box";
        PostKey(::GetFocus(), VK_TAB);
    });
    steps.push_back(
        When("#32770", nullptr, [](HWND box) { ::PostMessageA(box, WM_COMMAND, IDOK, 0); }));
    steps.push_back([&](HWND window) {
        HWND exit = ::GetDlgItem(window, kExitButton);
        ASSERT_EQ(::GetFocus(), exit);
        const test::OtherWindow other;
        other.Activate();
        EXPECT_NE(::GetActiveWindow(), window);
        ::SetForegroundWindow(window);
        EXPECT_EQ(::GetFocus(), exit) << "after another window was active";
        ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(kExitButton, BN_CLICKED), 0);
    });
    EXPECT_TRUE(Show(reporting, output, std::move(steps)));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ResultsWindowTest, MovedToAScreenOfAnotherDpiItLaysItselfOutAgain) {
    const base::Box dump{240, 360, 10575, 4815};
    const base::Box button{4800, 5400, 1095, 375};
    EXPECT_TRUE(Show(results, output, {[&](HWND window) {
                         HWND view = ::GetDlgItem(window, kReportView);
                         HWND exit = ::GetDlgItem(window, kExitButton);
                         const int dpi = platform::win32::WindowDpi(window);
                         // Wine's message font is as wide and high as the design's.
                         EXPECT_EQ(BoxOf(view), base::TwipsToPixels(dump, dpi));
                         const LONG textFont = FontHeight(view);
                         const LONG buttonFont = FontHeight(exit);
                         // 9.75 points.
                         EXPECT_EQ(textFont, -base::MulDivRounded(975, dpi, 7200));

                         RECT suggested{};
                         ::GetWindowRect(window, &suggested);
                         suggested.right += suggested.right - suggested.left;
                         suggested.bottom += suggested.bottom - suggested.top;
                         ::SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi * 2, dpi * 2),
                                        reinterpret_cast<LPARAM>(&suggested));
                         // Laid out again in the button's new font; the report keeps its own.
                         const base::LayoutScale scale = platform::win32::FontLayoutScale(
                             reinterpret_cast<HFONT>(::SendMessageA(exit, WM_GETFONT, 0, 0)),
                             dpi * 2);
                         EXPECT_EQ(BoxOf(view), scale.ToPixels(dump));
                         EXPECT_EQ(BoxOf(exit), scale.ToPixels(button));
                         EXPECT_EQ(FontHeight(view), -base::MulDivRounded(975, dpi * 2, 7200));
                         EXPECT_NEAR(FontHeight(exit), buttonFont * 2, 1);
                         EXPECT_EQ(TextOf(view), output) << "the text went with the font";
                         ::PostMessageA(window, WM_COMMAND, kExitButton, 0);
                     }}));
}

}  // namespace
}  // namespace ombrix::results::win32
