// The runs that may report many machines: live machines named on the command line and in lists,
// exported logs, a collector's channel.
#pragma once

#include "uptime/tool/arguments.h"
#include "uptime/tool/tool.h"

namespace uptime {

// Several machines (names, /m: lists), asked at once within the limits of /t: and /w:, reported
// in the order of the names on the command line, then of those in the lists. One machine in all
// gets its report alone, as when it is named by itself.
ToolResult RunMachines(const Arguments& arguments, const LocalMachine& machine,
                       const ToolSystem& system);

// The machines of exported logs (/l:) or of a collector's channel (/c), each reported as of its
// own last record. A log of one machine gets that machine's report alone.
ToolResult RunLogs(const Arguments& arguments, const LocalMachine& machine,
                   const ToolSystem& system);

}  // namespace uptime
