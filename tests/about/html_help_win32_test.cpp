// Help, Index on the real system: hhctrl.ocx opens the help file built beside this program in
// a window of class "HH Parent".
#include <windows.h>

#include <gtest/gtest.h>

#include "about/html_help.h"
#include "drive/program.h"
#include "platform/process_files.h"
#include "platform/win32/help_win32.h"
#include "platform/win32/window_handles.h"
#include "support/window_probe.h"

namespace ombrix::about {
namespace {

TEST(HtmlHelpOnWindows, TheHelpFileOpensInAHelpWindowOwnedByTheProgram) {
    const std::string file = HelpFilePath(platform::ProgramDirectory());
    const platform::win32::UniqueWindow owner = test::PlainWindow();
    platform::win32::Win32HelpViewer viewer;
    const auto shown = ShowHelpFile(viewer, reinterpret_cast<std::uintptr_t>(owner.get()), file);
    ASSERT_TRUE(shown) << shown.Reason();
    // The viewer makes its window in this thread before it returns.
    HWND help = drive::FindWindowOf(::GetCurrentProcessId(), "HH Parent");
    ASSERT_NE(help, nullptr) << "no help window for " << file;
    EXPECT_EQ(::GetWindow(help, GW_OWNER), owner.get());
}

}  // namespace
}  // namespace ombrix::about
