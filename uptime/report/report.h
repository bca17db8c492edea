// The system event report (/s, /a): the events in the classic table, then the figures.
#pragma once

#include <string>

#include "uptime/history/history_reading.h"
#include "uptime/history/report_input.h"
#include "uptime/report/local_clock.h"

namespace uptime {

// Lines end in CR LF.
std::string BuildReport(const ReportInput& input, const LocalClock& clock);

// A row of the events table as the report words it: its event ("Restart requested") and its
// comment (for a boot or a shutdown, what the row says of the time before it).
std::string EventLabel(EventKind kind);
std::string EventComment(const HistoryRow& row);

}  // namespace uptime
