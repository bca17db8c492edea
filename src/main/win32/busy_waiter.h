// The wait for uptime.exe as the user sees it: the main window keeps painting but takes no
// input, shows a busy cursor, and after a moment a small window offers to cancel.
#pragma once

#include <windows.h>

#include <chrono>

#include "runner/run_and_capture.h"

namespace ombrix::main::win32 {

class BusyWaiter final : public runner::ExitWaiter {
  public:
    explicit BusyWaiter(HWND mainWindow) : mainWindow_(mainWindow) {}

    bool WaitForExit(platform::CapturedProcess& child) override;

    bool IsBusy() const { return busy_; }
    // How long the run goes before the cancel window shows.
    static constexpr std::chrono::milliseconds kCancelDelay{700};

  private:
    HWND mainWindow_;
    bool busy_ = false;
    bool cancelled_ = false;
};

inline constexpr const char* kCancelWindowClass = "OmbrixBusy";
inline constexpr const char* kCancelWindowCaption = "Ombrix";
inline constexpr const char* kCancelWindowText =
    "UPTIME.EXE is still running. A remote machine that does not answer can keep it busy for "
    "minutes.";
inline constexpr const char* kCancelButtonCaption = "Cancel";
enum CancelWindowId : int { kCancelText = 100, kCancelButton = 101 };

}  // namespace ombrix::main::win32
