// The seam to the system's event log: rendered records in, nothing interpreted.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "uptime/system_events.h"

namespace uptime {

enum class LogStatus {
    Read,          // the records are all there is
    Failed,        // the log could not be read; the reason says why
    AccessDenied,  // the user lacks the rights to read it
    Unreachable,   // the remote machine did not answer
};

struct LogReading {
    LogStatus status = LogStatus::Read;
    std::vector<std::string> records;  // the XML of each matching record, oldest first
    std::string oldestRecord;          // the XML of the log's oldest record; empty when unknown
    std::string reason;                // the system's own words, when not Read
};

class EventLogReader {
  public:
    virtual ~EventLogReader() = default;
    virtual LogReading Read(const LogQuery& query) = 0;
};

}  // namespace uptime
