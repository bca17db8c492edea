// The launch sequence behind "Launch Uptime": the checks in their order, the run, and the
// output shown in the results window or as an error.
#pragma once

#include <optional>
#include <string>
#include <string_view>

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
inline constexpr const char* kReportTooLargeMessage =
    "The report of UPTIME.EXE is too large for the memory available, so Ombrix cannot show it. "
    "Ask for a shorter report, with a later date or fewer days.";

// The results window as the launch sequence uses it.
class ResultsDisplay {
  public:
    virtual ~ResultsDisplay() = default;
    // Centres the window over the main window, shows `output` and returns once the user has
    // closed it; closing it dismisses the run. The window takes the output over: a large report
    // is not copied.
    virtual void ShowModal(std::string output) = 0;
};

// The date the three boxes hold, read day first, when the command line can carry it as typed
// and the tool reads it as this date: day and month of one or two digits, a year of one or two
// digits (read through Windows' window, 0-29 as 2000-2029) or of four, from 1601 on; digits
// only, so no blank or sign splits or changes the switch; only days the calendar has.
std::optional<base::CalendarDate> ReadDayFirstDate(std::string_view dayText,
                                                   std::string_view monthText,
                                                   std::string_view yearText);

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
