// The wait for uptime.exe as the user sees it: the main window keeps painting but takes no
// input, shows a busy cursor, and after a moment a small window offers to cancel.
#pragma once

#include <windows.h>

#include <chrono>

#include "platform/win32/window_handles.h"
#include "runner/run_and_capture.h"

namespace ombrix::main::win32 {

class BusyWaiter final : public runner::ExitWaiter {
  public:
    explicit BusyWaiter(HWND mainWindow) : mainWindow_(mainWindow) {}

    bool WaitForExit(platform::CapturedProcess& child) override;

    bool IsBusy() const { return busy_; }
    // How long the run goes before the cancel window shows.
    static constexpr std::chrono::milliseconds kCancelDelay{700};

    // Used by the cancel window's procedure.
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    HWND CreateCancelWindow();

    HWND mainWindow_;
    platform::win32::UniqueFont font_;  // outlives the cancel window
    bool busy_ = false;
    bool cancelled_ = false;
};

inline constexpr const char* kCancelWindowCaption = "Ombrix";
inline constexpr const char* kCancelWindowText =
    "UPTIME.EXE is still running. A remote machine that does not answer can keep it busy for "
    "minutes.";
inline constexpr const char* kCancelButtonCaption = "Cancel";

}  // namespace ombrix::main::win32
