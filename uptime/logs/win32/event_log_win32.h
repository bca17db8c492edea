// The Windows Event Log (wevtapi) behind the tool's EventLogReader.
#pragma once

#include <memory>
#include <string>

#include "base/result.h"
#include "uptime/logs/event_log.h"
#include "uptime/logs/export_file.h"

namespace uptime::win32 {

// This computer's event log when `remoteMachine` is empty, else a remote session to it.
std::unique_ptr<EventLogReader> OpenWindowsEventLog(const std::string& remoteMachine);

// Every record of a saved log file (.evtx), in its order, rendered as XML for the sink; a
// record that cannot be rendered is handed on empty, to be counted.
ombrix::base::Result<void> ReadEventLogFile(const std::string& path, RecordSink& sink);

}  // namespace uptime::win32
