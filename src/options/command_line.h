// The option state, what the boxes hold until somebody changes them, and the uptime.exe command
// line the state makes.
#pragma once

#include <string>
#include <string_view>

#include "base/calendar.h"

namespace ombrix::options {

// Check box values. Only kChecked counts as checked anywhere in the program.
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;

// The option state as the main window's controls hold it at one moment: what the command line,
// the options file and the launch's checks all work from. A check box counts as on only when
// it is checked (greyed counts as off); texts stand exactly as typed.
struct OptionState {
    bool remoteMachine = false;
    std::string machineName;
    bool showEvents = false;
    bool showAppFailures = false;
    bool restrictPeriod = false;
    bool sinceDate = false;  // "/d:" selected; LastDays or neither selected means "/p:"
    std::string day;
    std::string month;
    std::string year;
    std::string dayCount;
    bool showCommandLine = true;  // the check mark of Show Command Line
    // Whether one of the period's option buttons is selected: neither is until the user picks one
    // or the options file restores one.
    bool periodChosen = false;
    friend bool operator==(const OptionState&, const OptionState&) = default;
};

// The texts the boxes start with, until the user or the options file changes them.
inline constexpr const char* kMachinePlaceholder = "Name/IP Address";
inline constexpr const char* kDefaultDayCount = "5";
inline constexpr const char* kDefaultDay = "01";

// The date the boxes start with: the first of the current month, the month without a leading
// zero.
struct DateTexts {
    std::string day;
    std::string month;
    std::string year;
};
DateTexts DefaultDate(const base::CalendarDate& today);

// The state the window starts with, before the options file is read: nothing checked, neither
// period chosen, the placeholder machine, the default date and day count, the command line shown.
OptionState DefaultOptionState(const base::CalendarDate& today);

// The command line always starts with this word; the launch puts the tool's path in its place.
inline constexpr std::string_view kToolWord = "uptime";

// "uptime", then the machine, " /s", " /a" and the period part, each only when chosen, every
// text verbatim: no quotes, no backslashes before the machine, the date month first.
std::string ComposeCommandLine(const OptionState& state);

// Which dependent controls take input: only those whose values go into the command line.
struct EnabledStates {
    bool machineName = false;
    bool periodChoice = false;  // PeriodFrame, SinceDate, LastDays and DaysLabel
    bool date = false;          // Day, Month, Year and DateSeparator
    bool days = false;          // dayCount
};
EnabledStates ComputeEnabledStates(const OptionState& state);

}  // namespace ombrix::options
