// The Win32 layer's own rules. The window procedure's trampoline: a handler's exception ends in
// one message box, and memory running out is told plainly rather than by the exception's name.
// Libraries loaded at their first use (found functions are called by every platform test): the
// failures name what is missing, and only the system folder is searched.
#include "platform/win32/window_procedure.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "platform/dialogs.h"
#include "platform/process_files.h"
#include "platform/win32/system_library.h"
#include "support/test_support.h"
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

TEST(SystemLibrary, AMissingLibraryOrFunctionIsNamedWithTheSystemsReason) {
    SystemLibrary kernel("kernel32.dll");
    EXPECT_EQ(kernel.Find<void()>("OmbrixNoSuchCall").Reason(),
              "kernel32.dll, OmbrixNoSuchCall: " + SystemErrorText(ERROR_PROC_NOT_FOUND));

    // A file of that name in the current folder and the program's is not taken: the reason is
    // that the system folder has none, not that the file there is no library.
    test::ScratchDir scratch;
    const std::string name = "ombrix_stand_in.dll";
    const std::string besideProgram = ProgramDirectory() + "\\" + name;
    test::WriteFile(scratch.File(name), "not a library");
    test::WriteFile(besideProgram, "not a library");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(scratch.path());
    const std::string reason = SystemLibrary(name).Find<void()>("Anything").Reason();
    std::filesystem::current_path(before);
    std::filesystem::remove(besideProgram);
    EXPECT_EQ(reason, name + ": " + SystemErrorText(ERROR_MOD_NOT_FOUND));
}

}  // namespace
}  // namespace ombrix::platform::win32
