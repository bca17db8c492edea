// The window procedure's trampoline: a handler's exception ends in one message box, and memory
// running out is told plainly rather than by the exception's name.
#include "platform/win32/window_procedure.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "platform/dialogs.h"
#include "support/window_probe.h"

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

TEST(WindowProcedure, AHandlersExceptionEndsInAMessageThatNamesNoExceptionForMemory) {
    RegisterWindowClass("OmbrixThrowingTest", WindowProcedure<ThrowingWindow>, nullptr);
    ThrowingWindow thrower;
    HWND window = ::CreateWindowExA(0, "OmbrixThrowingTest", "", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                    100, nullptr, nullptr, ::GetModuleHandleA(nullptr), &thrower);
    ASSERT_NE(window, nullptr);
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { throw std::bad_alloc(); }, kOutOfMemoryMessage},
        {[] { throw std::runtime_error("a broken rule"); },
         "Ombrix met an unexpected error: a broken rule"},
    };
    for (const auto& [fail, message] : cases) {
        std::string shown;
        thrower.fail = fail;
        const auto answer = [&](HWND box) {
            shown = test::TextOf(::GetDlgItem(box, 0xFFFF));  // as the template numbers it
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        };
        EXPECT_TRUE(
            test::RunSteps("#32770", {answer}, [&] { ::SendMessageA(window, WM_APP, 0, 0); }));
        EXPECT_EQ(shown, message);
    }
    ::DestroyWindow(window);
}

}  // namespace
}  // namespace ombrix::platform::win32
