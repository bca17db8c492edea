// The launch sequence behind "Launch Uptime": the checks in their order, the run, and the
// output shown in the results window or as an error.
#pragma once

#include <string>

#include "base/calendar.h"
#include "options/command_line.h"
#include "platform/dialogs.h"
#include "runner/run_and_capture.h"

namespace ombrix::options {

inline constexpr const char* kLocateMessage =
    "You need to locate UPTIME.EXE before you can launch it.";
inline constexpr const char* kMachineMessage =
    "You need to enter a valid network name or IP address.";
inline constexpr const char* kInvalidDateMessage = "You need to enter a valid date in the past.";
inline constexpr const char* kFutureDateMessage = "You need to enter a date in the past.";
inline constexpr const char* kMissingOutputMessage = "Internal Error! Can't find temporary file!.";

// The results window as the launch sequence uses it.
class ResultsDisplay {
  public:
    virtual ~ResultsDisplay() = default;
    // Centres the window over the main window, shows `output` and returns once the user has
    // closed it; closing it dismisses the run. The window takes the output over: a large report
    // is not copied.
    virtual void ShowModal(std::string output) = 0;
};

struct LaunchEnvironment {
    const OptionState& options;
    const std::string& uptimePath;
    runner::RunState& runState;
    platform::MessageBoxes& messages;
    ResultsDisplay& results;
    runner::ExitWaiter* waiter = nullptr;  // how the wait for the tool goes; null: no limit
    base::CalendarDate today;
};

// Launch.
void LaunchUptime(LaunchEnvironment& environment);

}  // namespace ombrix::options
