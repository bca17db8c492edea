// The logs of many machines read at once: exported files (a collector's ForwardedEvents among
// them) or a live channel, their records split by the machine that wrote them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "uptime/common/utc_time.h"
#include "uptime/events/system_events.h"
#include "uptime/logs/log_sources.h"

namespace uptime {

// EventLog 6011: the machine's NetBIOS and DNS host names changed, logged at its first boot
// under the new name.
struct NameChange {
    std::string from;
    std::string to;
    UtcSeconds time = 0;
};

// One computer's records, as the records name it; each record counted once, however many
// overlapping exports hold it.
struct MachineLog {
    std::string computer;  // the spelling of its newest record
    std::size_t records = 0;
    std::size_t systemRecords = 0;
    std::size_t applicationRecords = 0;
    std::size_t unreadable = 0;                  // records of its files that could not be read
    std::vector<SystemEvent> systemEvents;       // what its System records tell the report
    std::vector<SystemEvent> applicationEvents;  // its application failures and hangs
    std::optional<UtcSeconds> systemBegins;      // its oldest System record
    std::optional<UtcSeconds> firstRecord;       // its oldest record of any log
    std::optional<UtcSeconds> end;               // its newest record of any log
    std::vector<NameChange> nameChanges;         // oldest first
};

// A file or pattern that gave nothing, and why.
struct LogProblem {
    std::string source;  // the path or pattern as given
    std::string reason;
    ombrix::base::FailureKind kind = ombrix::base::FailureKind::Failed;
};

struct MachineLogs {
    std::vector<MachineLog> machines;  // in the order first seen
    std::vector<LogProblem> problems;
    std::size_t files = 0;  // the files read, after the wildcards
};

// Reads every file the paths name (each may hold * and ? in its last part) with up to
// `threads` threads (0: one a processor). A file that cannot be read, or gives nothing the report
// reads, is a problem; the others are read all the same. Fails only when no file gave a record; the
// failure says why, one line per source.
ombrix::base::Result<MachineLogs> ReadMachineLogs(const std::vector<std::string>& paths,
                                                  const LogSources& sources, unsigned threads);

// A collector's channel read live (ForwardedEvents when none is named), on this computer
// when `collector` is empty. Only the events the report reads are asked for (CollectorQuery), so
// the counts and first times of each machine are those of these events.
ombrix::base::Result<MachineLogs> ReadCollectorChannel(const LogSources& sources,
                                                       const std::string& collector,
                                                       const std::string& channel);

}  // namespace uptime
