// The launch sequence behind "Launch Uptime": the checks in their order, the run, and the
// output shown in the results window or as an error.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/calendar.h"
#include "options/option_view.h"
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
inline constexpr const char* kMachinePlaceholder = "Name/IP Address";

// The results window as the launch sequence uses it.
class ResultsDisplay {
  public:
    virtual ~ResultsDisplay() = default;
    // Centres the window over the main window, shows `output` and returns once the user has
    // closed it; closing it dismisses the run.
    virtual void ShowModal(const std::string& output) = 0;
};

// The date the three boxes hold, read day first: each part digits with blanks around them
// allowed, day and month of one or two digits, a year of one or two digits read through
// Windows' window and of three or four as written; only days the calendar has.
std::optional<base::CalendarDate> ReadDayFirstDate(std::string_view dd, std::string_view mm,
                                                   std::string_view yyyy);

struct LaunchEnvironment {
    const OptionView& view;  // Server, NameIPAddress, DoDates, DD, MM, YYYY, CmdLine
    const std::string& uptimePath;
    runner::RunState& runState;
    platform::MessageBoxes& messages;
    ResultsDisplay& results;
    runner::ExitWaiter* waiter = nullptr;  // how the wait for the tool goes; null: no limit
    base::CalendarDate today;
};

// LaunchIt_Click.
void LaunchUptime(LaunchEnvironment& environment);

}  // namespace ombrix::options
