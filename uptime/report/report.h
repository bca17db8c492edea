// The system event report (/s, /a): the events in the classic table, then the figures.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "uptime/common/utc_time.h"
#include "uptime/events/system_events.h"
#include "uptime/report/local_clock.h"

namespace uptime {

// Whose history the report tells.
enum class Subject {
    ThisComputer,
    RemoteMachine,  // read over the network: times are shown in this computer's zone
    LogFile,        // an exported log: times in this computer's zone, "now" is the log's end
};

struct ReportInput {
    std::string machineName;  // without "\\"
    Subject subject = Subject::ThisComputer;
    std::string logFile;                    // the file read, for a LogFile
    std::string osName;                     // empty: named from the newest 6009 event, if any
    std::string timeZone;                   // empty when not known
    UtcSeconds now = 0;                     // for a LogFile, the time of its newest record
    std::optional<UtcSeconds> windowStart;  // /d: or /p:; events before it are left out
    bool applicationFailures = false;       // /a
    std::vector<SystemEvent> events;        // the whole history read, in any order
    std::optional<UtcSeconds> logBegins;    // the time of the System log's oldest record
    // The system's own count; without it the time since the last boot event stands in.
    std::optional<std::uint64_t> secondsSinceBoot;
    std::string applicationProblem;     // with /a: the sentence that says why failures are missing
    std::size_t unreadableRecords = 0;  // records whose XML could not be parsed
};

// Lines end in CR LF.
std::string BuildReport(const ReportInput& input, const LocalClock& clock);

// Seconds since the newest boot, when no shutdown is logged after it and it is not in the future.
std::optional<std::uint64_t> SecondsSinceLastBoot(const std::vector<SystemEvent>& events,
                                                  UtcSeconds now);

// How long, at least, the system slept or hibernated between its boot at `boot` and `end`: the
// time that passed by the clock up to its last uptime record (6013) in that span, less the
// seconds the system counted itself. Nothing below ten minutes, which clock corrections
// explain as well.
std::int64_t TimeAsleep(const std::vector<SystemEvent>& events, UtcSeconds boot, UtcSeconds end);

}  // namespace uptime
