// The window procedure's trampoline: a handler's exception ends in one message box, and memory
// running out is told plainly rather than by the exception's name.
#include "platform/win32/window_procedure.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "platform/dialogs.h"

namespace ombrix::platform::win32 {
namespace {

// A window whose handler throws what it is told to on WM_APP.
struct ThrowingWindow {
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_APP) {
            fail();
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    std::function<void()> fail;
};

// The text of the message box the thread shows next; the box is closed at once.
thread_local std::string shownText;
thread_local HHOOK hook = nullptr;

LRESULT CALLBACK CloseMessageBox(int code, WPARAM wParam, LPARAM lParam) {
    char className[16] = {};
    HWND box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && ::GetClassNameA(box, className, sizeof(className)) > 0 &&
        std::string(className) == "#32770") {
        char text[512] = {};
        ::GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
        shownText = text;
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return ::CallNextHookEx(hook, code, wParam, lParam);
}

TEST(WindowProcedure, AHandlersExceptionEndsInAMessageThatNamesNoExceptionForMemory) {
    RegisterWindowClass("OmbrixThrowingTest", WindowProcedure<ThrowingWindow>, nullptr);
    ThrowingWindow thrower;
    HWND window = ::CreateWindowExA(0, "OmbrixThrowingTest", "", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                    100, nullptr, nullptr, ::GetModuleHandleA(nullptr), &thrower);
    ASSERT_NE(window, nullptr);
    hook = ::SetWindowsHookExA(WH_CBT, CloseMessageBox, nullptr, ::GetCurrentThreadId());
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { throw std::bad_alloc(); }, kOutOfMemoryMessage},
        {[] { throw std::runtime_error("a broken rule"); },
         "Ombrix met an unexpected error: a broken rule"},
    };
    for (const auto& [fail, message] : cases) {
        shownText.clear();
        thrower.fail = fail;
        ::SendMessageA(window, WM_APP, 0, 0);
        EXPECT_EQ(shownText, message);
    }
    ::UnhookWindowsHookEx(hook);
    ::DestroyWindow(window);
}

}  // namespace
}  // namespace ombrix::platform::win32
