// The report as one JSON document, for scripts and monitoring; docs/uptime-report.schema.json
// describes it.
#pragma once

#include <string>

#include "uptime/common/utc_time.h"
#include "uptime/report/run_model.h"

namespace uptime {

// Who wrote the document and when.
struct JsonStamp {
    std::string version;  // the tool's, as its build gives it
    UtcSeconds generatedAt = 0;
};

// Field names camelCase, times ISO 8601 in UTC, durations whole seconds, the availability a
// percentage as a number; a figure the logs do not tell is null. With `events` each machine
// that was read carries its events. The text is valid UTF-8: whatever the logs hold that is
// not becomes U+FFFD.
std::string JsonReport(const RunModel& model, bool events, const JsonStamp& stamp);

}  // namespace uptime
