// The stand-in tool's command line: an optional machine or log file, and the report switches.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "base/result.h"

namespace uptime {

using ombrix::base::CalendarDate;

struct Arguments {
    std::optional<std::string> machine;  // without a leading "\\"
    std::optional<std::string> logFile;  // /l:path, an exported log read instead of a live one
    bool systemEvents = false;           // /s, or implied by /a
    bool applicationFailures = false;    // /a
    std::optional<CalendarDate> since;   // /d:mm/dd/yyyy
    std::optional<int> previousDays;     // /p:n
    bool help = false;                   // /? or /help
};

// Parses the arguments after the program name. Switches are taken in any order and letter case.
// An unsound command line fails as a BadRequest whose reason says what is wrong.
ombrix::base::Result<Arguments> ParseArguments(const std::vector<std::string>& args);

// A month/day/year date, each field read by the program's one date rule (base::ReadDateFields).
std::optional<CalendarDate> ParseMonthDayYear(const std::string& text);

}  // namespace uptime
