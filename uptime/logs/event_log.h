// The seam to the system's event log: rendered records in, nothing interpreted.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/result.h"
#include "uptime/events/system_events.h"

namespace uptime {

// What a query of a log gives.
struct LogRecords {
    std::vector<std::string> records;  // the XML of each matching record, oldest first
    std::string oldestRecord;          // the XML of the log's oldest record; empty when unknown
};

class EventLogReader {
  public:
    virtual ~EventLogReader() = default;
    // The records, or why the log could not be read: the system's own words, and the kind
    // (AccessDenied when the user lacks the rights, Unreachable when a remote machine did not
    // answer).
    virtual ombrix::base::Result<LogRecords> Read(const LogQuery& query) = 0;
    // Asks a Read under way on another thread to give up soon, with a failure; safe to call from
    // any thread, and at any time.
    virtual void Cancel() = 0;
};

}  // namespace uptime
