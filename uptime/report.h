// The system event report (/s, /a): the events in the classic table, then the figures.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "uptime/local_clock.h"
#include "uptime/system_events.h"
#include "uptime/utc_time.h"

namespace uptime {

struct ReportInput {
    std::string machineName;  // without "\\"
    bool remote = false;      // times are then shown in this computer's zone, not the machine's
    std::string osName;       // empty: named from the newest 6009 event, if any
    std::string timeZone;     // empty when not known
    UtcSeconds now = 0;
    std::optional<UtcSeconds> windowStart;  // /d: or /p:; events before it are left out
    bool applicationFailures = false;       // /a
    std::vector<SystemEvent> events;        // the whole history read, in any order
    std::optional<UtcSeconds> logBegins;    // the time of the System log's oldest record
    // The system's own count; without it the time since the last boot event stands in.
    std::optional<std::uint64_t> secondsSinceBoot;
    std::string applicationLogProblem;  // with /a: why the Application log could not be read
    std::size_t unreadableRecords = 0;  // records whose XML could not be parsed
};

// Lines end in CR LF.
std::string BuildReport(const ReportInput& input, const LocalClock& clock);

// Seconds since the newest boot, when no shutdown is logged after it and it is not in the future.
std::optional<std::uint64_t> SecondsSinceLastBoot(const std::vector<SystemEvent>& events,
                                                  UtcSeconds now);

}  // namespace uptime
