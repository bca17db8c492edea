// The fleet report: a summary of every machine, then each machine's own report.
#pragma once

#include <string>
#include <vector>

#include "uptime/report/local_clock.h"
#include "uptime/tool/machine_report.h"
#include "uptime/tool/tool.h"

namespace uptime {

// One row a machine, failures first, then by availability, lowest first; each row with its
// availability strip over one period shared by all. `problems` are the lines for sources that
// gave no machine (a list or log file), shown after the rows.
std::string SummaryTable(const std::vector<MachineReport>& reports,
                         const std::vector<std::string>& problems, const LocalClock& clock);

// The summary, then each machine's report in the order given; the exit code says whether every
// machine reported (kSuccess), some did (kSomeFailed), or none did (the first one's failure).
ToolResult FleetReport(const std::vector<MachineReport>& reports,
                       const std::vector<std::string>& problems, const LocalClock& clock);

}  // namespace uptime
