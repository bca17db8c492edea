#include "drive/ombrix_windows.h"

#include "drive/program.h"
#include "main/win32/main_window_ids.h"
#include "results/win32/results_window_ids.h"

namespace ombrix::drive {

void PressLaunchUptime(HWND main) {
    PressButton(main, main::win32::ControlId(options::Control::LaunchButton));
}

HWND ReportView(HWND results) {
    return ::GetDlgItem(results, static_cast<int>(results::win32::kReportView));
}

bool CloseResults(HWND results, std::chrono::milliseconds timeout) {
    PressButton(results, results::win32::kExitButton);
    return WaitUntilGone(results, timeout);
}

}  // namespace ombrix::drive
