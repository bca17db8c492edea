// One machine's history as read, and what the report of it is asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "uptime/common/utc_time.h"
#include "uptime/events/system_events.h"

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

}  // namespace uptime
