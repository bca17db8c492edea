// The stand-in tool's command line: the machines or logs to report, and the report switches.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "base/result.h"

namespace uptime {

using ombrix::base::CalendarDate;

// A collector's channel read live (/c, /c:NAME, /e:NAME).
struct CollectorChannel {
    std::string collector;  // empty: this computer
    std::string channel = "ForwardedEvents";
};

// How the report is written: text for the eye, comma-separated values or JSON for programs, or
// a page with timelines for people.
enum class Face { Text, Csv, Json, Html };

struct Arguments {
    std::vector<std::string> machines;        // each without a leading "\\", in the order given
    std::vector<std::string> listFiles;       // /m:FILE, one machine name a line
    std::vector<std::string> logFiles;        // /l:PATH, exported logs read instead of live ones
    std::optional<CollectorChannel> channel;  // /c
    int parallel = 16;                        // /t:N, machines asked at a time
    // /w:SECONDS, each machine's time limit: 60 for several machines unless given; one machine
    // alone has none unless given, as before.
    std::optional<int> waitSeconds;
    bool systemEvents = false;          // /s, or implied by /a
    bool applicationFailures = false;   // /a
    std::optional<CalendarDate> since;  // /d:mm/dd/yyyy
    std::optional<int> previousDays;    // /p:n
    Face face = Face::Text;             // /f:text|csv|json|html
    std::string outputFile;             // /o:FILE, written whole or not at all; empty: stdout
    bool help = false;                  // /? or /help
};

// Parses the arguments after the program name. Switches are taken in any order and letter case.
// An unsound command line fails as a BadRequest whose reason says what is wrong.
ombrix::base::Result<Arguments> ParseArguments(const std::vector<std::string>& args);

// A month/day/year date, each field read by the program's one date rule (base::ReadDateFields).
std::optional<CalendarDate> ParseMonthDayYear(const std::string& text);

}  // namespace uptime
