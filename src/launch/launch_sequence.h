// The launch behind "Launch Uptime": the checks in their order, the run, and the output shown in
// the results window or as an error. It owns LaunchActive.
#pragma once

#include <cstdint>
#include <string>

#include "base/calendar.h"
#include "launch/results_display.h"
#include "options/command_line.h"
#include "platform/dialogs.h"
#include "runner/run_and_capture.h"
#include "runner/run_state.h"

namespace ombrix::launch {

inline constexpr const char* kLocateMessage =
    "You need to locate UPTIME.EXE before you can launch it.";
inline constexpr const char* kMachineMessage =
    "You need to enter a valid network name or IP address.";
inline constexpr const char* kInvalidDateMessage = "You need to enter a valid date in the past.";
inline constexpr const char* kFutureDateMessage = "You need to enter a date in the past.";
inline constexpr const char* kMissingOutputMessage = "Internal Error! Can't find temporary file!.";
inline constexpr const char* kReportTooLargeMessage =
    "The report of UPTIME.EXE is too large for the memory available, so Ombrix cannot show it. "
    "Ask for a shorter report, with a later date or fewer days.";

// The one owner of the run state. A run lasts from the start of the tool until its output has
// been shown and dismissed; the results window is modal, so the run's scope ends when it has
// closed, on every way out. Until then a second launch is refused.
class LaunchSequence {
  public:
    // `waiter` decides how the wait for the tool goes; null: no limit.
    LaunchSequence(platform::MessageBoxes& messages, ResultsDisplay& results,
                   runner::ExitWaiter* waiter = nullptr)
        : messages_(messages), results_(results), waiter_(waiter) {}
    LaunchSequence(const LaunchSequence&) = delete;
    LaunchSequence& operator=(const LaunchSequence&) = delete;

    // Launch Uptime with these choices; `today` is the date a restricting date may not pass.
    void Launch(const options::OptionState& options, const std::string& uptimePath,
                const base::CalendarDate& today);

    bool LaunchActive() const { return runState_.LaunchActive(); }

  private:
    void ShowOutput(std::int32_t exitCode, const std::string& outputPath);

    platform::MessageBoxes& messages_;
    ResultsDisplay& results_;
    runner::ExitWaiter* waiter_;
    runner::RunState runState_;
};

}  // namespace ombrix::launch
