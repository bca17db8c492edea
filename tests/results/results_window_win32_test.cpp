// The real results window, shown by its own modal call; each step (test::RunSteps) posts keys as
// the keyboard would and looks at what came of the last one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "drive/program.h"
#include "results/report_file.h"
#include "results/win32/report_actions.h"
#include "results/win32/results_window.h"
#include "results/win32/results_window_ids.h"
#include "support/test_support.h"
#include "support/window_probe.h"

namespace ombrix::results::win32 {
namespace {

using test::When;

// Posts the key as the keyboard would, with Shift and Ctrl down or up as the window will find them.
void Press(HWND to, WPARAM key, bool shift = false, bool control = false) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    ::SetKeyboardState(keys);
    ::PostMessageA(to, WM_KEYDOWN, key, 1);
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

// The items of the pop-up menu on screen; empty when none is.
std::vector<std::string> MenuOnScreen() {
    std::vector<std::string> items;
    HWND menu = drive::FindWindowOf(::GetCurrentProcessId(), "#32768");
    HMENU handle = reinterpret_cast<HMENU>(::SendMessageA(menu, MN_GETHMENU, 0, 0));
    for (int i = 0; i < ::GetMenuItemCount(handle); ++i) {
        char text[64] = {};
        ::GetMenuStringA(handle, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        items.emplace_back(text);
    }
    return items;
}

TEST(ResultsWindow, TheKeyboardAloneSelectsCopiesOpensThePopUpAndTheFocusComesBack) {
    const platform::win32::UniqueWindow main = test::PlainWindow();
    test::RecordingMessages messages;
    ResultsWindow results{main.get(), messages, StandardReportActions()};
    const std::string output = "Report of \\\\HOST\r\nline two\r\nline three\r\n";
    HWND view = nullptr;
    EXPECT_TRUE(test::RunSteps(
        kResultsWindowClass,
        {[&](HWND window) {
             view = ::GetDlgItem(window, kReportView);
             EXPECT_EQ(test::GuiOf(view).hwndCaret, view) << "no caret to show where the focus is";
             Press(view, 'A', false, true);
         },
         [&](HWND) {
             EXPECT_EQ(::SendMessageA(view, EM_GETSEL, 0, 0), MAKELRESULT(0, output.size()));
             ::SendMessageA(view, EM_SETSEL, 10, 16);
             Press(view, 'C', false, true);
         },
         [&](HWND) {
             EXPECT_EQ(ClipboardText(), "\\\\HOST");
             Press(view, VK_TAB);
         },
         [&](HWND window) {
             EXPECT_EQ(::GetFocus(), ::GetDlgItem(window, kExitButton)) << "Tab stays in the view";
             EXPECT_NE(test::GuiOf(view).hwndCaret, view);
             Press(::GetFocus(), VK_TAB, true);
         },
         [&](HWND) {
             EXPECT_EQ(::GetFocus(), view) << "Shift+Tab does not come back";
             Press(view, VK_APPS);
             ::PostMessageA(view, WM_KEYUP, VK_APPS, 1);
         },
         [&](HWND) {
             EXPECT_EQ(MenuOnScreen(),
                       (std::vector<std::string>{"Copy", "", "Save Report", "Print"}));
             // Copy, the first item: the whole output, whatever is selected.
             Press(view, VK_DOWN);
             Press(view, VK_RETURN);
         },
         [&](HWND) {
             EXPECT_EQ(ClipboardText(), output);
             EXPECT_TRUE(::IsWindowEnabled(view));
             EXPECT_EQ(::SendMessageA(view, EM_GETSEL, 0, 0), MAKELRESULT(10, 16));
             Press(view, VK_F10, true);
             ::PostMessageA(view, WM_SYSKEYDOWN, VK_F10, 1);
         },
         // Save Report's dialog takes the activation; the focus comes back to the view. (The main
         // window's test sees it come back after a message box and another window.)
         [&](HWND) {
             ASSERT_EQ(MenuOnScreen().size(), 4u) << "Shift+F10 opens no menu";
             Press(view, VK_DOWN);  // Save Report, two below Copy
             Press(view, VK_DOWN);
             Press(view, VK_RETURN);
         },
         When("#32770", kSaveReportTitle,
              [](HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }),
         When("#32770", kSaveReportTitle, {}),
         [&](HWND window) {
             EXPECT_EQ(::GetFocus(), view) << "after Save Report was cancelled";
             ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(kExitButton, BN_CLICKED), 0);
         }},
        [&] { results.ShowModal(output); }));
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace ombrix::results::win32
