// Help, Index on the real system: hhctrl.ocx opens the help file built beside this program in
// a window of class "HH Parent".
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "about/html_help.h"
#include "platform/process_files.h"
#include "platform/win32/help_win32.h"
#include "platform/win32/window_handles.h"
#include "shared/shared_routines.h"
#include "support/window_probe.h"

namespace ombrix::about {
namespace {

// This process's help window, or nullptr.
HWND HelpWindow() {
    for (HWND window = nullptr;
         (window = ::FindWindowExA(nullptr, window, "HH Parent", nullptr)) != nullptr;) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        if (process == ::GetCurrentProcessId()) {
            return window;
        }
    }
    return nullptr;
}

TEST(HtmlHelpOnWindows, TheHelpFileOpensInAHelpWindowOwnedByTheProgram) {
    const std::string file = HelpFilePath(platform::ProgramDirectory());
    ASSERT_TRUE(shared::FileExists(file)) << file << " was not built";
    const platform::win32::UniqueWindow owner = test::PlainWindow();
    platform::win32::Win32HelpViewer viewer;
    const auto shown = ShowHelpFile(viewer, reinterpret_cast<std::uintptr_t>(owner.get()), file);
    ASSERT_TRUE(shown) << shown.Reason();
    HWND help = nullptr;
    for (int tries = 0; tries < 500 && (help = HelpWindow()) == nullptr; ++tries) {
        MSG message{};
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageA(&message);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(::IsWindowVisible(help));
    EXPECT_EQ(::GetWindow(help, GW_OWNER), owner.get());
}

}  // namespace
}  // namespace ombrix::about
